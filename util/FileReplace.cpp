#include "util/FileReplace.h"

#include "util/DescriptorIo.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int RenameInto(const QString& from, const QString& to, bool replace)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (replace) {
        return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
    }
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return errno;
    }
    // link(2) never replaces either.
    if (::link(source.constData(), target.constData()) != 0) {
        return errno;
    }
    ::unlink(source.constData());
    return 0;
}

bool ResolveReplacedPath(const QString& path, QString* resolved, int* error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        *resolved = path;
        return true;
    }
    char* real = ::realpath(name.constData(), nullptr);
    if (!real) {
        *error = ELOOP;
        return false;
    }
    *resolved = QFile::decodeName(real);
    std::free(real);
    return true;
}

namespace {

constexpr int StaleSeconds = 60;

// New files an earlier save left beside the target when it was killed before its rename. Only
// those older than a minute go: a save that is running now is never disturbed.
void RemoveStaleReplacements(const QString& path)
{
    const QString prefix = QStringLiteral(".") + FileNamePart(path) + QStringLiteral(".");
    const QDateTime limit = QDateTime::currentDateTime().addSecs(-StaleSeconds);
    const QFileInfoList leftovers = QDir(DirectoryPart(path))
                                        .entryInfoList({prefix + QStringLiteral("????????????.new")},
                                                       QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& leftover : leftovers) {
        if (!leftover.isSymLink() && leftover.lastModified() < limit) {
            ::unlink(QFile::encodeName(leftover.filePath()).constData());
        }
    }
}

} // namespace

int ReplaceWholeFile(const QString& requested, const QByteArray& data, int* error, qint64 writeLimit)
{
    QString path;
    if (!ResolveReplacedPath(requested, &path, error)) {
        return Result::Failed;
    }
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = QFile::encodeName(
        DirectoryPart(path) + QStringLiteral("/.") + FileNamePart(path) + QStringLiteral(".") +
        QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".new"));
    struct stat st;
    const bool existed = ::stat(target.constData(), &st) == 0;
    const mode_t previous = existed ? (st.st_mode & 07777) : 0;
    const mode_t kept = previous & PrivateFileMode;
    // Private from the first byte. A new file keeps the mode it is created with, so the umask
    // can only make it stricter.
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, PrivateFileMode);
    if (fd < 0) {
        *error = errno;
        return Result::Failed;
    }
    int failure = 0;
    const qint64 length = writeLimit >= 0 ? qMin<qint64>(writeLimit, data.size()) : data.size();
    if (!WriteAll(fd, data.constData(), length)) {
        failure = errno;
    }
    if (!failure && length < data.size()) {
        failure = ENOSPC;
    }
    if (!failure && existed && ::fchmod(fd, kept) != 0) {
        failure = errno;
    }
    if (!failure && ::fsync(fd) != 0) {
        failure = errno;
    }
    if (::close(fd) != 0 && !failure) {
        failure = errno;
    }
    if (!failure && ::rename(temporary.constData(), target.constData()) != 0) {
        failure = errno;
    }
    if (failure) {
        ::unlink(temporary.constData());
        *error = failure;
        return Result::Failed;
    }
    if (kept != previous) {
        NoteTightenedPermissions(path, previous, kept);
    }
    RemoveStaleReplacements(path);
    return 0;
}
