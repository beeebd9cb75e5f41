#include "operations/folders/FolderFiles.h"

#include "engine/ContainerCrypt.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {

void collect(const QString& folder, QStringList* files)
{
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    QStringList subfolders;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        if (name.startsWith(QLatin1Char('.')) || name.endsWith(ContainerCrypt::PartialSuffix)) {
            continue;
        }
        if (info.isDir()) {
            if (!info.isSymLink()) {
                subfolders.append(info.filePath());
            }
        } else if (info.isFile()) {
            files->append(info.filePath());
        }
    }
    subfolders.sort();
    for (const QString& sub : std::as_const(subfolders)) {
        collect(sub, files);
    }
}

} // namespace

QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    collect(folder, &files);
    files.sort();
    return files;
}
