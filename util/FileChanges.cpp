#include "util/FileChanges.h"

#include "util/DescriptorIo.h"
#include "util/ErrorText.h"
#include "util/FileQueries.h"
#include "util/FileReplace.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxTreeDepth = 100;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

int failWith(QString* errorText, const QString& text)
{
    if (errorText) {
        *errorText = text;
    }
    return Result::Failed;
}

int failWithCause(QString* errorText, int error)
{
    return failWith(errorText, FileExceptionText(FileErrorCauseFromErrno(error)));
}

int failWithSystemText(QString* errorText, int error)
{
    return failWith(errorText, SystemErrorText(error));
}

constexpr mode_t AllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

} // namespace

int FileAttributeBits(const QString& path, quint32* bits)
{
    struct stat st;
    if (path.isEmpty() || ::stat(native(path).constData(), &st) != 0) {
        return Result::Failed;
    }
    quint32 b = 0;
    if ((st.st_mode & AllWriteBits) == 0) {
        b |= FileAttribute::ReadOnly;
    }
    if (FileNamePart(path).startsWith(QLatin1Char('.'))) {
        b |= FileAttribute::Hidden;
    }
    b |= S_ISDIR(st.st_mode) ? FileAttribute::Directory : FileAttribute::Archive;
    *bits = b;
    return 0;
}

int CreateDirectoryTree(const QString& path, QString* errorText, unsigned mode)
{
    if (path.size() < 2) {
        return 0;
    }
    // Each prefix up to the next "/" after the root, at most 100 levels.
    qsizetype position = 1;
    for (int level = 0; level < MaxTreeDepth; ++level) {
        const qsizetype next = path.indexOf(QLatin1Char('/'), position);
        const QString prefix = next < 0 ? path : path.left(next);
        if (!prefix.isEmpty() && DirectoryExists(prefix) != 0) {
            if (CheckFolderPathLength(prefix, errorText) != 0) {
                return Result::Failed;
            }
            if (::mkdir(native(prefix).constData(), mode_t(mode)) != 0) {
                // Something else standing in the way is no folder to build on.
                const int error = errno == EEXIST && DirectoryExists(prefix) != 0 ? ENOTDIR : errno;
                if (error != EEXIST) {
                    return failWithSystemText(errorText, error);
                }
            }
        }
        if (next < 0) {
            break;
        }
        position = next + 1;
    }
    return 0;
}

int CreateEmptyFile(const QString& path, QString* errorText)
{
    // A link standing at the path, even one that leads nowhere, is never followed.
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          PrivateFileMode);
    if (fd < 0) {
        return failWithCause(errorText, errno);
    }
    ::close(fd);
    return 0;
}

int WriteWholeFile(const QString& path, const QByteArray& data, QString* errorText)
{
    int error = 0;
    return ReplaceWholeFile(path, data, &error) == 0 ? 0 : failWithCause(errorText, error);
}

int ReadWholeFile(const QString& path, qint64 length, QByteArray* data, QString* errorText)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return failWithCause(errorText, errno);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size != length) {
        ::close(fd);
        return Result::Failed;
    }
    QByteArray buffer(length, Qt::Uninitialized);
    const qint64 done = ReadUpTo(fd, buffer.data(), length);
    if (done != length) {
        const int error = done < 0 ? errno : EIO;
        ::close(fd);
        return failWithCause(errorText, error);
    }
    ::close(fd);
    *data = buffer;
    return 0;
}

int SetAttributeBits(const QString& path, quint32 bits, bool clear, QString* errorText)
{
    struct stat st;
    if (path.isEmpty() || ::lstat(native(path).constData(), &st) != 0) {
        return failWith(errorText, MsgA(450));
    }
    if (!(bits & FileAttribute::ReadOnly) || S_ISLNK(st.st_mode)) {
        // Hidden, system and archive have no counterpart to change, and a link has no mode of
        // its own: changing it would change the file it points to.
        return 0;
    }
    const bool readOnly = (st.st_mode & AllWriteBits) == 0;
    if (clear == !readOnly) {
        return 0;
    }
    const mode_t mode = clear ? (st.st_mode | S_IWUSR) : (st.st_mode & ~AllWriteBits);
    if (::chmod(native(path).constData(), mode & 07777) != 0) {
        return failWithCause(errorText, errno);
    }
    return 0;
}

int SetModifiedTime(const QString& path, const QDateTime& time, QString* errorText)
{
    struct stat st;
    if (path.isEmpty() || ::stat(native(path).constData(), &st) != 0) {
        return failWith(errorText, MsgA(628));
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(time.toSecsSinceEpoch());
    times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, native(path).constData(), times, 0) != 0) {
        return failWithCause(errorText, errno);
    }
    return 0;
}

int TruncateFile(const QString& path, QString* errorText)
{
    if (::truncate(native(path).constData(), 0) != 0) {
        return failWithCause(errorText, errno);
    }
    return 0;
}

int MovePath(const QString& from, const QString& to, QString* errorText)
{
    if (::rename(native(from).constData(), native(to).constData()) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EXDEV || FileExists(from) != 0) {
        return failWithSystemText(errorText, error);
    }
    // Another volume: copy beside the target, then remove the original.
    if (FileExists(to) == 0 || DirectoryExists(to) == 0) {
        return failWithSystemText(errorText, EEXIST);
    }
    const int rc = ShellCopy({from}, to, false);
    if (rc != 0) {
        return failWithSystemText(errorText, rc);
    }
    if (::unlink(native(from).constData()) != 0) {
        const int unlinkError = errno;
        ::unlink(native(to).constData());
        return failWithSystemText(errorText, unlinkError);
    }
    return 0;
}

int RemoveFile(const QString& path, QString* errorText)
{
    if (SetAttributeBits(path, FileAttribute::ReadOnly, true, errorText) != 0) {
        return Result::Failed;
    }
    if (::unlink(native(path).constData()) != 0) {
        return failWithCause(errorText, errno);
    }
    return 0;
}

int RemoveFolderTree(const QString& folder, QString* errorText)
{
    QStringList folders;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        folders.append(it.next());
    }
    // Deepest first: a longer path never holds a shorter one.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
    folders.append(folder);
    for (const QString& f : folders) {
        if (::rmdir(native(f).constData()) != 0) {
            return failWithSystemText(errorText, errno);
        }
    }
    return 0;
}

int DeleteFolderIfEmpty(const QString& folder, QString* errorText)
{
    if (FolderStatistics(folder).files > 0) {
        return failWith(errorText, MsgA(453));
    }
    const int rc = ShellDelete({folder});
    return rc == 0 ? 0 : failWithSystemText(errorText, rc);
}
