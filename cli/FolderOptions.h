#pragma once

#include "cli/CommandLine.h"

#include <QJsonValue>
#include <QString>

// What the folder commands (ls, check, extract, add) share: their common options, the check of
// the folder operand and the JSON forms of the times.

extern const QString RecursiveOption; // "recursive", -r
extern const QString JsonOption;      // "json"

OptionSyntax RecursiveOptionSyntax();
OptionSyntax JsonOptionSyntax();

// An existing folder; -1 (reported) otherwise.
int RequireFolder(const QString& path);
// A target written with a trailing "/" names a folder: 0 when it is one (or has no trailing
// "/"), otherwise -1 after the message (no such folder, or not a folder).
int RequireFolderWhenMarked(const QString& operand);

// Every time in JSON is ISO 8601 in UTC: "YYYY-MM-DDThh:mm:ssZ".
// Seconds since 1970; null for a time no file can have.
QJsonValue EntryTimeJson(qint64 seconds);
// The stored YYYYMMDDhhmmss digits of a local time; null when none.
QJsonValue EncryptionTimeJson(qint64 digits);
