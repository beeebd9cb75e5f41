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

// Seconds since 1970 as "YYYY-MM-DDThh:mm:ssZ"; null for a time no file can have.
QJsonValue EntryTimeJson(qint64 seconds);
// The stored YYYYMMDDhhmmss digits of a local time as "YYYY-MM-DDThh:mm:ss"; null when none.
QJsonValue EncryptionTimeJson(qint64 digits);
