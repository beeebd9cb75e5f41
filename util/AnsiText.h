#pragma once

#include <QByteArray>
#include <QString>

// Single-byte ("ANSI") texts of the program's files and of passwords use code page 932
// (Japanese, windows-31j), fixed whatever the locale, so that the same password gives the
// same key on every machine. Characters the code page cannot hold become '?', as the
// original conversion did.

QByteArray ToAnsiBytes(const QString& text);
QString FromAnsiBytes(const QByteArray& bytes);
