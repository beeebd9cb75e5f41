#pragma once

#include <QDateTime>
#include <QString>

// Text forms of file times and stored times. Times are local times with a resolution of one
// second.

enum class FileTimeKind
{
    Creation = 0, // birth time where the file system keeps one, otherwise the status-change time
    LastWrite = 1,
    LastAccess = 2,
};

// "2024年01月31日09:05:07": the year, then two digits each for month, day, hour, minute and
// second. An invalid time gives an empty text.
QString LocalTimeText(const QDateTime& time);

// Reads one time of a file or folder (symbolic links are followed). Returns 0 with the text
// and the time, or -1 with an empty text and an invalid time when the status cannot be read.
// Either output may be nullptr.
int FileTimeText(const QString& path, FileTimeKind kind, QString* text, QDateTime* time = nullptr);

// As FileTimeText, but through a search: the last component of pattern may hold the wildcards
// * and ? (every other character, "[" included, stands for itself; "*.*" matches every name,
// with or without a dot). A last component without wildcards names one file or folder.
// Matches are taken in ascending order of their names and the text and time of the last one
// are handed back. Returns 0 when at least one match was read, -1 otherwise (empty text,
// invalid time).
int FindTimeText(const QString& pattern, FileTimeKind kind, QString* text, QDateTime* time = nullptr);

// A stored 14-digit time "20240305070809" as "2024/03/05 07:08:09". The digits are not
// checked; a shorter text gives shorter or empty parts.
QString CompactTimeText(const QString& digits);
