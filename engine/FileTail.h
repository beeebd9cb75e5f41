#pragma once

#include <QByteArray>

// The tail of a file as the format stores it: its last 16 bytes, or the whole file followed by
// zeros when it is shorter. Shows A-361 (seek) or A-362 (read) and returns -7 on failure.
int ReadFileTail(int fd, qint64 size, QByteArray* tail);
