#pragma once

#include <QTreeWidget>

// The contents of the shown folder (middle pane): every item under its original name, size and
// times.
class CListV : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CListV(QWidget* parent = nullptr);

    // The folder shown, and the registered root it belongs to; empty when none is shown.
    QString shownFolderPath() const { return m_shownFolderPath; }
    QString selectedRootPath() const { return m_selectedRootPath; }

    // The idle text of status pane 0.
    QString ContentsStatusText() const;

private:
    QString m_shownFolderPath;
    QString m_selectedRootPath;
};
