#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class CryptEngine;

// Data files of fixed-size records that may have been damaged between two starts (garbage,
// another key, a cut or swollen file, a link or a folder in their place). Such a file is never
// followed, never overwritten and never silently dropped: the records that are sound are kept,
// and the file itself is set aside beside its place for the user to keep or remove.

// Reads and deciphers a record file without following a link. A missing file is created empty.
// `plain` holds the records of the first `maxRecords` that could be read and that `plausible`
// accepts. `problem` stays empty for a sound file; otherwise it says, for the user, what is wrong
// with the file (its whole, or how many records were refused). Returns -1 only when a missing file
// cannot be created (after the message `createFailed` + cause + path).
int ReadRecordFile(CryptEngine& engine, const QString& path, qsizetype recordSize, int maxRecords,
                   int createFailed, const std::function<bool(const QByteArray& record)>& plausible,
                   QByteArray* plain, QString* problem);

// Renames the damaged file (or the link or folder that stands in its place, never what a link
// points to) to "NAME.damaged-YYYYMMDD-HHMMSS" beside it, private to the user, and shows one
// message: the file, what was wrong (`problem`), where it now lies and `outcome`, what the
// program does about it and what the user can do. Returns 0, or -1 after a message naming the
// file and the cause when it cannot be moved; the caller must then not write over the file.
int SetDamagedFileAside(const QString& path, const QString& problem, const QString& outcome);

// What stands in the file's place when it is not a regular file (a link, a folder, …), in words
// for the user; empty when it is a regular file or nothing is there. Never follows a link.
QString NotARegularFile(const QString& path);

// The name the damaged file gets beside itself (the time is the local time now).
QString DamagedFileName(const QString& path);
