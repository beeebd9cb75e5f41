#pragma once

#include <QtGlobal>

// Whole reads and writes on a file descriptor, retried when a signal interrupts them.

// Reads until `length` bytes or the end of the file; -1 on a read error (errno set).
qint64 ReadUpTo(int fd, void* buffer, qint64 length);
// Writes everything; false on a failure or a short write (errno set, ENOSPC for no progress).
bool WriteAll(int fd, const void* buffer, qint64 length);
