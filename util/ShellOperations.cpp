#include "util/ShellOperations.h"

#include "platform/Platform.h"
#include "util/DescriptorIo.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"
#include "util/TimeText.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype CopyChunk = 1 << 20;

// Copies either keep their sources' permissions, or are the user's alone: a file keeps only the
// owner's read and write bits of its source's, a folder made for the copies is 0700.
enum class CopyAccess
{
    AsSource,
    Private,
};

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Copies one file to `target` through a temporary file beside it.
int copyFile(const QString& source, const QString& target, CopyAccess access)
{
    const QString temporary = DirectoryPart(target) + QStringLiteral("/.kbx-copy-") +
                              QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".tmp");
    return CopyFileVia(source, target, temporary, access == CopyAccess::Private ? PrivateFileMode : 07777);
}

int copyItem(const QString& source, const QString& target, CopyAccess access)
{
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink()) {
        return ENOENT;
    }
    if (!info.isDir() || info.isSymLink()) {
        return copyFile(source, target, access);
    }
    const mode_t folderMode = access == CopyAccess::Private ? PrivateFolderMode : 0777;
    if (DirectoryExists(target) != 0 && ::mkdir(native(target).constData(), folderMode) != 0) {
        return errno;
    }
    const QStringList entries = QDir(source).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : entries) {
        if (const int rc =
                copyItem(source + QLatin1Char('/') + name, target + QLatin1Char('/') + name, access)) {
            return rc;
        }
    }
    return 0;
}

int deleteItem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QString& name : entries) {
            if (const int rc = deleteItem(path + QLatin1Char('/') + name)) {
                return rc;
            }
        }
        return ::rmdir(native(path).constData()) == 0 ? 0 : errno;
    }
    return ::unlink(native(path).constData()) == 0 ? 0 : errno;
}

bool makeFolder(const QString& folder, CopyAccess access = CopyAccess::AsSource)
{
    if (DirectoryExists(folder) == 0) {
        return true;
    }
    return access == CopyAccess::Private ? CreateDirectoryTree(folder, nullptr, PrivateFolderMode) == 0
                                         : QDir().mkpath(folder);
}

int copyAll(const QStringList& from, const QString& to, CopyAccess access)
{
    PumpMessages();
    const bool intoFolder = from.size() != 1 || DirectoryExists(to) == 0 || QFileInfo(from.first()).isDir();
    if (intoFolder && !makeFolder(to, access)) {
        return errno ? errno : EACCES;
    }
    for (const QString& source : from) {
        const QString target = intoFolder ? to + QLatin1Char('/') + FileNamePart(source) : to;
        if (SamePath(source, target)) {
            return EINVAL;
        }
        if (const int rc = copyItem(source, target, access)) {
            return rc;
        }
        PumpMessages();
    }
    return 0;
}

} // namespace

int CopyFileVia(const QString& source, const QString& target, const QString& partial, unsigned keptModeBits,
                const std::function<bool(qint64)>& step)
{
    const int in = ::open(native(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) {
        return errno;
    }
    errno = 0;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        // Only regular files have contents to copy; a pipe or a device is refused.
        const int error = errno ? errno : EINVAL;
        ::close(in);
        return error;
    }
    const int out =
        ::open(native(partial).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, PrivateFileMode);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    // Held while the file is written, so that a clean-up of leftovers leaves it alone.
    ::flock(out, LOCK_EX | LOCK_NB);
    int error = 0;
    qint64 copied = 0;
    QByteArray buffer(CopyChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = ReadUpTo(in, buffer.data(), buffer.size());
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (!WriteAll(out, buffer.constData(), n)) {
            error = errno;
            break;
        }
        copied += n;
        if (step && !step(copied)) {
            error = ECANCELED;
            break;
        }
        if (n < buffer.size()) {
            break;
        }
        PumpMessages();
    }
    ::close(in);
    const mode_t mode = st.st_mode & keptModeBits;
    if (!error && ::fchmod(out, mode) != 0) {
        error = errno;
    }
    if (!error) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::futimens(out, times) != 0 || ::fsync(out) != 0) {
            error = errno;
        }
    }
    if (::close(out) != 0 && !error) {
        error = errno;
    }
    if (!error && ::rename(native(partial).constData(), native(target).constData()) != 0) {
        error = errno;
    }
    if (error) {
        ::unlink(native(partial).constData());
    }
    return error;
}

int ShellCopy(const QStringList& from, const QString& to, bool showUi)
{
    Q_UNUSED(showUi); // the window supplies the variant with progress and questions
    return copyAll(from, to, CopyAccess::AsSource);
}

int ShellCopyPrivate(const QStringList& from, const QString& to)
{
    return copyAll(from, to, CopyAccess::Private);
}

int ShellMove(const QStringList& from, const QString& to, bool showUi)
{
    Q_UNUSED(showUi);
    PumpMessages();
    if (!makeFolder(to)) {
        return errno ? errno : EACCES;
    }
    for (const QString& source : from) {
        const QString target = to + QLatin1Char('/') + FileNamePart(source);
        if (SamePath(source, target)) {
            continue;
        }
        if (::rename(native(source).constData(), native(target).constData()) == 0) {
            continue;
        }
        if (errno != EXDEV && errno != ENOTEMPTY && errno != EEXIST && errno != EISDIR) {
            return errno;
        }
        // Another volume, or a folder merging into an existing one: copy, then delete.
        if (const int rc = copyItem(source, target, CopyAccess::AsSource)) {
            return rc;
        }
        if (const int rc = deleteItem(source)) {
            return rc;
        }
        PumpMessages();
    }
    return 0;
}

int ShellDelete(const QStringList& paths)
{
    PumpMessages();
    for (const QString& path : paths) {
        if (path.isEmpty()) {
            continue;
        }
        if (const int rc = deleteItem(path)) {
            return rc;
        }
        PumpMessages();
    }
    return 0;
}

int ShellDeleteToRecycleBin(const QStringList& paths, QString* errorText)
{
    PumpMessages();
    for (const QString& path : paths) {
        if (path.isEmpty()) {
            continue;
        }
        QString error;
        if (!Platform::instance().MoveToTrash(path, nullptr, &error)) {
            if (errorText) {
                *errorText = error;
            }
            return EIO;
        }
    }
    return 0;
}

int FindInRecycleBin(const QString& name, const QString& timeText, QString* trashedPath, const QString& near)
{
    for (const TrashItem& item : Platform::instance().TrashItems(near)) {
        if (SameNameOrWithExtension(name, item.displayName()) != 0) {
            continue;
        }
        QString text;
        if (FileTimeText(item.trashedPath, FileTimeKind::LastWrite, &text) == 0 && text == timeText) {
            *trashedPath = item.trashedPath;
            return 0;
        }
    }
    return Result::Failed;
}

int RestoreFromRecycleBin(const QString& trashedPath, QString* errorText)
{
    for (const TrashItem& item : Platform::instance().TrashItems(trashedPath)) {
        if (item.trashedPath == trashedPath) {
            QString error;
            if (Platform::instance().RestoreFromTrash(item, &error)) {
                return 0;
            }
            if (errorText) {
                *errorText = error;
            }
            return Result::Failed;
        }
    }
    if (errorText) {
        *errorText = QString();
    }
    return Result::Failed;
}
