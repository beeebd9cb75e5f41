#include "store/metadata/FolderEntries.h"

#include "util/ResultCodes.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

int ListFolderEntries(const QString& folder, QList<FolderEntry>* entries)
{
    entries->clear();
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return Result::Failed;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String("..")) {
            continue;
        }
        if (QFile::encodeName(name) != QByteArrayView(entry->d_name)) {
            entries->append({name, folder + QLatin1Char('/') + name, false, true});
            continue;
        }
        const QString path = folder + QLatin1Char('/') + name;
        const QByteArray native = QFile::encodeName(path);
        struct stat own;
        if (::lstat(native.constData(), &own) != 0) {
            continue; // gone since the listing
        }
        if (S_ISDIR(own.st_mode)) {
            entries->append({name, path, true});
            continue;
        }
        struct stat target;
        if (S_ISLNK(own.st_mode) && (::stat(native.constData(), &target) != 0 || S_ISDIR(target.st_mode))) {
            continue;
        }
        entries->append({name, path, false});
    }
    ::closedir(dir);
    return 0;
}
