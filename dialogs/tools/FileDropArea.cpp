#include "dialogs/tools/FileDropArea.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

// A drop is taken as a copy: nothing dropped here is moved or changed.
bool takeAsCopy(QDropEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

FileDropArea::FileDropArea(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setAcceptDrops(true);
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
}

void FileDropArea::dragEnterEvent(QDragEnterEvent* event)
{
    takeAsCopy(event);
}

void FileDropArea::dragMoveEvent(QDragMoveEvent* event)
{
    takeAsCopy(event);
}

void FileDropArea::dropEvent(QDropEvent* event)
{
    if (takeAsCopy(event)) {
        emit filesDropped(localFiles(event->mimeData()));
    }
}
