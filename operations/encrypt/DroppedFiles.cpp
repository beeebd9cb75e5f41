#include "operations/encrypt/DroppedFiles.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

bool ReadDroppedFiles(const QMimeData& data, DroppedFiles* files)
{
    *files = DroppedFiles();
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            QString path = QDir::cleanPath(url.toLocalFile());
            if (!path.isEmpty() && !files->paths.contains(path)) {
                files->paths.append(path);
            }
        }
    }
    const QByteArray gnome = data.data(QStringLiteral("x-special/gnome-copied-files"));
    const QByteArray kde = data.data(QStringLiteral("application/x-kde-cutselection"));
    files->cut = gnome.split('\n').value(0).trimmed() == "cut" || kde.trimmed() == "1";
    return !files->paths.isEmpty();
}
