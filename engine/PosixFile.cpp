#include "engine/PosixFile.h"

#include "util/ResultCodes.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int PosixFile::fail()
{
    m_error = errno ? errno : EIO;
    return Result::Failed;
}

bool PosixFile::openForReading(const QString& path)
{
    close();
    // Opened without waiting, so a pipe standing where a file was expected cannot block us;
    // only regular files are read.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        fail();
        return false;
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(m_fd);
        m_fd = -1;
        errno = error;
        fail();
        return false;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool PosixFile::openForReadWrite(const QString& path)
{
    close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        fail();
        return false;
    }
    return true;
}

bool PosixFile::createExclusive(const QString& path, int mode)
{
    close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (m_fd < 0) {
        fail();
        return false;
    }
    // Other users of the program's own lock stay away while the file is written.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    return true;
}

bool PosixFile::takePermissionsOf(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return true;
    }
    if (::fchmod(m_fd, st.st_mode & 07777) != 0) {
        fail();
        return false;
    }
    return true;
}

qint64 PosixFile::readFull(void* buffer, qint64 length)
{
    const qint64 done = ReadUpTo(m_fd, buffer, length);
    return done < 0 ? fail() : done;
}

bool PosixFile::writeFull(const void* buffer, qint64 length)
{
    if (!WriteAll(m_fd, buffer, length)) {
        fail();
        return false;
    }
    return true;
}

bool PosixFile::seek(qint64 offset)
{
    if (::lseek(m_fd, offset, SEEK_SET) < 0) {
        fail();
        return false;
    }
    return true;
}

qint64 PosixFile::seekToEnd()
{
    const off_t end = ::lseek(m_fd, 0, SEEK_END);
    return end < 0 ? fail() : end;
}

qint64 PosixFile::size()
{
    struct stat st;
    return ::fstat(m_fd, &st) == 0 ? st.st_size : fail();
}

bool PosixFile::sync()
{
    if (::fsync(m_fd) != 0) {
        fail();
        return false;
    }
    return true;
}

bool PosixFile::close()
{
    if (m_fd < 0) {
        return true;
    }
    const int rc = ::close(m_fd);
    m_fd = -1;
    if (rc != 0) {
        fail();
        return false;
    }
    return true;
}
