#include "store/metadata/MetadataListing.h"

#include "engine/ContainerCrypt.h"
#include "util/ResultCodes.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MetadataListing {

QString CompactLocalTime(std::time_t time)
{
    std::tm local{};
    if (!::localtime_r(&time, &local)) {
        return QString(14, QLatin1Char('0'));
    }
    char digits[32];
    const std::size_t length = std::strftime(digits, sizeof digits, "%Y%m%d%H%M%S", &local);
    return QString::fromLatin1(digits, qsizetype(length));
}

int ListEntries(const QString& folder, QList<Entry>* entries, QList<LeftOut>* leftOut)
{
    entries->clear();
    if (leftOut) {
        leftOut->clear();
    }
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return Result::Failed;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) {
            continue;
        }
        struct stat st;
        const QString name = QFile::decodeName(raw);
        if (::fstatat(fd, raw, &st, 0) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
            if (leftOut) {
                leftOut->append({name, false});
            }
            continue;
        }
        if (S_ISREG(st.st_mode) && ContainerCrypt::IsPartialFileName(name)) {
            if (leftOut) {
                leftOut->append({name, true});
            }
            continue;
        }
        entries->append({name, CompactLocalTime(st.st_mtime), S_ISDIR(st.st_mode),
                         QFile::encodeName(name) == QByteArrayView(raw)});
    }
    ::closedir(dir);
    std::sort(entries->begin(), entries->end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    if (leftOut) {
        std::sort(leftOut->begin(), leftOut->end(),
                  [](const LeftOut& a, const LeftOut& b) { return a.name < b.name; });
    }
    return 0;
}

} // namespace MetadataListing
