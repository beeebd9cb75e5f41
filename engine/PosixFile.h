#pragma once

#include "util/DescriptorIo.h"

#include <QByteArray>
#include <QString>

// An open file descriptor of the engine, with the errno of its last failure kept for the
// message that reports it. Reads and writes go straight to the system in the engine's chunk
// sizes; nothing is buffered twice.
class PosixFile
{
public:
    PosixFile() = default;
    ~PosixFile() { close(); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    // Shared reading: other programs may go on reading and writing the file.
    bool openForReading(const QString& path);
    bool openForReadWrite(const QString& path);
    // A new file that no one else may use while it is written; it must not exist yet. It is open
    // for reading too, so that what was written can be read back.
    bool createExclusive(const QString& path, int mode);
    // Gives the open file the permissions of the file at `path`; nothing changes when no file
    // is there. False when they cannot be set.
    bool takePermissionsOf(const QString& path);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    int error() const { return m_error; }

    // Reads until `length` bytes or the end of the file; -1 on a read error.
    qint64 readFull(void* buffer, qint64 length);
    // Writes everything; false on a short write.
    bool writeFull(const void* buffer, qint64 length);
    bool seek(qint64 offset);
    // The size by seeking to the end (the position is then the end).
    qint64 seekToEnd();
    qint64 size();
    bool sync();
    bool close();

private:
    int fail();

    int m_fd = -1;
    int m_error = 0;
};
