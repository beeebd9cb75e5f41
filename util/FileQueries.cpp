#include "util/FileQueries.h"

#include "platform/AppAssociations.h"
#include "platform/Platform.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SizeText.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr int FolderPathLimit = 217;
constexpr int FilePathLimit = 256;

bool statPath(const QString& path, struct stat* st)
{
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), st) == 0;
}

QString withoutTrailingSeparator(const QString& path)
{
    return path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path;
}

int openForReading(const QString& path, int* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    *error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return fd < 0 ? -1 : 0;
}

} // namespace

int FileExists(const QString& path)
{
    struct stat st;
    return statPath(path, &st) && !S_ISDIR(st.st_mode) ? 0 : -1;
}

int DirectoryExists(const QString& path)
{
    struct stat st;
    return statPath(withoutTrailingSeparator(path), &st) && S_ISDIR(st.st_mode) ? 0 : -1;
}

int HasSubfolder(const QString& folder)
{
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return it.hasNext() ? 0 : -1;
}

int CountEntries(const QString& folder, qint64* count)
{
    if (DirectoryExists(folder) != 0) {
        return Result::Failed;
    }
    qint64 n = 0;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (; it.hasNext(); it.next()) {
        ++n;
    }
    *count = n;
    return 0;
}

qint64 CountEntriesBelow(const QString& folder)
{
    qint64 count = 0;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

FolderTotals FolderStatistics(const QString& path)
{
    FolderTotals totals;
    const QFileInfo root(path);
    if (root.isFile()) {
        totals.files = 1;
        totals.bytes = root.size();
        return totals;
    }
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        if (info.isDir() && !info.isSymLink()) {
            ++totals.folders;
        } else {
            ++totals.files;
            totals.bytes += info.size();
        }
    }
    return totals;
}

void ListFilesRecursive(const QString& folder, QStringList* files)
{
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files->append(it.next());
        PumpMessages();
    }
}

int FileSize(const QString& path, qint64* size)
{
    struct stat st;
    if (!statPath(path, &st)) {
        return Result::Failed;
    }
    *size = st.st_size;
    return 0;
}

int FreeSpace(const QString& path, qint64* bytes, QString* sizeText)
{
    struct statvfs st;
    if (path.isEmpty() || ::statvfs(QFile::encodeName(path).constData(), &st) != 0) {
        return Result::Failed;
    }
    *bytes = static_cast<qint64>(st.f_bavail) * static_cast<qint64>(st.f_frsize);
    if (sizeText) {
        *sizeText = SizeText(*bytes);
    }
    return 0;
}

int DriveType(const QString& path, int* type)
{
    const int code = Platform::instance().DriveTypeOf(path);
    switch (code) {
    case DriveRemovable:
    case DriveFixed:
    case DriveRemote:
    case DriveOptical:
    case DriveRamDisk:
        *type = code;
        return 0;
    default:
        return Result::Failed;
    }
}

int VolumeFileSystem(const QString& path, QString* name, quint32* flags)
{
    VolumeInfo volume;
    if (!Platform::instance().VolumeOf(path, &volume)) {
        return Result::Failed;
    }
    *name = volume.fileSystemName;
    *flags = volume.flags;
    return 0;
}

int TestOpen(const QString& path, QString* errorText)
{
    int error = 0;
    const int rc = openForReading(path, &error);
    if (rc != 0 && errorText) {
        *errorText = FileExceptionText(FileErrorCauseFromErrno(error));
    }
    return rc;
}

int TestOpenSystemText(const QString& path, QString* errorText)
{
    int error = 0;
    const int rc = openForReading(path, &error);
    if (rc != 0 && errorText) {
        *errorText = SystemErrorText(error);
    }
    return rc;
}

int ClassifyPath(const QString& path)
{
    if (FileExists(path) == 0) {
        return 3;
    }
    MountInfo mount;
    const QString clean = withoutTrailingSeparator(path);
    return Platform::instance().MountOf(clean, &mount) && mount.mountPoint == clean ? 1 : 2;
}

int CheckFolderPathLength(const QString& path, QString* errorText)
{
    if (path.size() <= FolderPathLimit) {
        return 0;
    }
    if (errorText) {
        *errorText = MsgA(466) + QString::number(FolderPathLimit) + MsgA(467);
    }
    return Result::Failed;
}

int CheckFilePathLength(const QString& path, QString* errorText)
{
    if (path.size() <= FilePathLimit) {
        return 0;
    }
    if (errorText) {
        *errorText = MsgA(468) + QString::number(FilePathLimit) + MsgA(469);
    }
    return Result::Failed;
}

QString ModuleDirectory()
{
    return QCoreApplication::applicationDirPath();
}

int AssociatedProgram(const QString& extension, QString* programPath)
{
    const QString path = DefaultProgramForExtension(extension);
    if (path.isEmpty()) {
        return Result::Failed;
    }
    *programPath = path;
    return 0;
}

QString ProgramDescription(const QString& programPath)
{
    return ProgramDisplayName(programPath);
}

qint64 FindProcessByExeName(const QString& name)
{
    return Platform::instance().FindProcessByExeName(name);
}

QString SpecialFolderPath(int csidl)
{
    constexpr int Documents = 5;
    constexpr int Desktop = 16;
    switch (csidl) {
    case Documents:
        return Platform::instance().SpecialFolderPath(SpecialFolder::Documents);
    case Desktop:
        return Platform::instance().SpecialFolderPath(SpecialFolder::Desktop);
    default:
        return {};
    }
}

EntryType EntryTypeOf(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0) {
        return EntryType::Missing;
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && ::stat(name.constData(), &st) != 0) {
        return EntryType::Missing;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryType::File;
    }
    if (S_ISDIR(st.st_mode)) {
        return link ? EntryType::LinkedFolder : EntryType::Folder;
    }
    return EntryType::Special;
}

bool IsTextName(const char* raw)
{
    return QFile::encodeName(QFile::decodeName(raw)) == QByteArrayView(raw);
}

namespace {

// Walks the folder open at `fd` (taken over and closed) by descriptors, so that no path in text
// is needed below a name that is no text.
QString findNameNotText(int fd, const QString& shownFolder)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return {};
    }
    QString found;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) {
            continue;
        }
        const QString shown = shownFolder + QLatin1Char('/') + QFile::decodeName(raw);
        if (!IsTextName(raw)) {
            found = shown;
            break;
        }
        struct stat st;
        if (::fstatat(::dirfd(dir), raw, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) {
            continue;
        }
        const int child = ::openat(::dirfd(dir), raw, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            found = findNameNotText(child, shown);
            if (!found.isEmpty()) {
                break;
            }
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

QString FindNameNotText(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? QString() : findNameNotText(fd, folder);
}
