#include "util/WipeDelete.h"

#include "util/DescriptorIo.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Attempts = 10;
constexpr int RetryWaitMs = 80;
constexpr qsizetype ZeroChunk = 128000;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Overwrites the content with zeros in place and cuts it to nothing, all through descriptors of
// the file that was checked: a link put in its place meanwhile is never followed, and a file
// that has another name (a hard link) is left whole, since its data is not ours alone. Failures
// only end the overwriting: the name is removed all the same.
void overwriteWithZeros(const QString& path)
{
    const int probe = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (probe < 0) {
        return;
    }
    struct stat st;
    if (::fstat(probe, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1 ||
        ::fchmod(probe, (st.st_mode & 07777) | S_IWUSR) != 0) {
        ::close(probe);
        return;
    }
    const int fd = ::open(native(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    ::close(probe);
    struct stat now;
    if (fd < 0) {
        return;
    }
    // Nobody else of ours may use the file meanwhile, and it must still be the file checked.
    if (::fstat(fd, &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    QByteArray buffer(ZeroChunk, Qt::Uninitialized);
    const QByteArray zeros(ZeroChunk, '\0');
    for (;;) {
        PumpMessages();
        const qint64 n = ReadUpTo(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        if (::lseek(fd, -n, SEEK_CUR) < 0 || !WriteAll(fd, zeros.constData(), n)) {
            break;
        }
    }
    ::fsync(fd);
    if (::ftruncate(fd, 0) == 0) {
        ::fsync(fd);
    }
    ::close(fd);
}

int unlinkOnly(const QString& path, QString* errorText)
{
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT) {
        return 0;
    }
    if (errorText) {
        *errorText = FileExceptionText(FileErrorCauseFromErrno(errno)) + QStringLiteral("\n\n");
    }
    return Result::Failed;
}

int wipeFile(const QString& path, QString* errorText)
{
    overwriteWithZeros(path);

    QString lastError;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (FileExists(path) != 0) {
            return 0;
        }
        if (::unlink(native(path).constData()) == 0) {
            return 0;
        }
        lastError = FileExceptionText(FileErrorCauseFromErrno(errno)) + QStringLiteral("\n\n");
        WaitPumping(RetryWaitMs);
    }
    if (errorText) {
        *errorText = lastError;
    }
    return Result::Failed;
}

// Only regular files are overwritten. A link is removed, never followed: zeroing its target
// would destroy a file elsewhere. Pipes, sockets and devices are removed without being opened.
int wipeEntry(const QString& path, QString* errorText)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) {
        return errno == ENOENT ? 0 : unlinkOnly(path, errorText);
    }
    return S_ISREG(st.st_mode) ? wipeFile(path, errorText) : unlinkOnly(path, errorText);
}

} // namespace

int WipeDelete(const QString& path, bool removeFolders, QString* errorText)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return wipeEntry(path, errorText);
    }
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        PumpMessages();
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            continue; // its files come in their turn; the folder goes with the tree
        }
        if (wipeEntry(entry, errorText) != 0) {
            return Result::Failed;
        }
    }
    // A name that is no valid UTF-8 was passed by above, as its path in text leads nowhere: the
    // file is still there, unwiped, and the caller must hear so.
    if (const QString left = FindNameNotText(path); !left.isEmpty()) {
        if (errorText) {
            *errorText = ErrnoText(EILSEQ) + QLatin1Char('\n') + left;
        }
        return Result::Failed;
    }
    return removeFolders ? RemoveFolderTree(path, errorText) : 0;
}
