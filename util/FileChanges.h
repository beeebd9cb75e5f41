#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Changes to files and folders. Each returns 0 or -1; a failure hands back its text (the
// file-exception text, the system's error text or a catalogue message, as each says).

// Attribute bits as the program stores and tests them. On Linux a file is read-only when it has
// no write permission; a leading dot makes a name hidden; nothing is a system file.
namespace FileAttribute {
inline constexpr quint32 ReadOnly = 0x01;
inline constexpr quint32 Hidden = 0x02;
inline constexpr quint32 System = 0x04;
inline constexpr quint32 Directory = 0x10;
inline constexpr quint32 Archive = 0x20;
} // namespace FileAttribute

int FileAttributeBits(const QString& path, quint32* bits);

// Creates every missing folder along the path; the folder length limit and the system's error
// text explain a failure.
// Folders it makes get `mode` (before the umask).
int CreateDirectoryTree(const QString& path, QString* errorText = nullptr, unsigned mode = 0777);
// Creates (or empties) the file, private to the user: 0600 less what the umask takes away.
int CreateEmptyFile(const QString& path, QString* errorText = nullptr);
// Writes the whole file beside the old one and renames it over, so a failed write leaves the
// old content; file-exception text on failure. The file is private to the user (see
// ReplaceWholeFile).
int WriteWholeFile(const QString& path, const QByteArray& data, QString* errorText = nullptr);
// Reads the whole file when its size equals `length`; another size gives -1 without reading.
int ReadWholeFile(const QString& path, qint64 length, QByteArray* data, QString* errorText = nullptr);
// clear = true removes the bits, false adds them. Only the read-only bit changes anything here.
int SetAttributeBits(const QString& path, quint32 bits, bool clear, QString* errorText = nullptr);
// Replaces the last-write time (one-second resolution); other times and attributes stay.
int SetModifiedTime(const QString& path, const QDateTime& time, QString* errorText = nullptr);
int TruncateFile(const QString& path, QString* errorText = nullptr);
// Renames or moves one file or folder; a file also moves to another volume.
int MovePath(const QString& from, const QString& to, QString* errorText = nullptr);
// Clears the read-only attribute, then removes the file.
int RemoveFile(const QString& path, QString* errorText = nullptr);
// Removes every subfolder, deepest first, then the folder; only empty folders can go.
int RemoveFolderTree(const QString& folder, QString* errorText = nullptr);
// Deletes the folder tree when it holds no file at all; A-453 otherwise.
int DeleteFolderIfEmpty(const QString& folder, QString* errorText = nullptr);
