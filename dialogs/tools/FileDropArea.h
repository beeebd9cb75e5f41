#pragma once

#include <QLabel>
#include <QStringList>

// A framed text area that takes files dropped from the file manager or another program (local
// files of a "text/uri-list" drop, offered as a copy) and hands their paths on. Drops without
// local files are refused while they hover.
class FileDropArea : public QLabel
{
    Q_OBJECT

public:
    explicit FileDropArea(const QString& text, QWidget* parent = nullptr);

signals:
    // The local paths of a drop, in the order the drop lists them.
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
