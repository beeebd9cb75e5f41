#pragma once

#include <QTreeView>

class ContentsModel;

// The contents of the shown folder (middle pane): every item under its original name, size and
// times. The rows live in its ContentsModel; the view shows the visible columns.
class CListV : public QTreeView
{
    Q_OBJECT

public:
    explicit CListV(QWidget* parent = nullptr);

    ContentsModel* contentsModel() const { return m_model; }

    // The folder shown, and the registered root it belongs to; empty when none is shown.
    QString shownFolderPath() const { return m_shownFolderPath; }
    QString selectedRootPath() const { return m_selectedRootPath; }

    int selectedRowCount() const;
    // The idle text of status pane 0.
    QString ContentsStatusText() const;

private:
    ContentsModel* m_model;
    QString m_shownFolderPath;
    QString m_selectedRootPath;
};
