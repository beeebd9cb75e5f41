#include "util/FileReplace.h"

#include "util/DescriptorIo.h"
#include "util/PathText.h"
#include "util/PrivatePermissions.h"
#include "util/ResultCodes.h"

#include <QFile>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int ReplaceWholeFile(const QString& path, const QByteArray& data, int* error, qint64 writeLimit)
{
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
    return 0;
}
