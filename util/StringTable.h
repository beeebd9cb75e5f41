#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The program's string table: fixed texts by number, read from the resource
// ":/kurabox/strings.txt". Each entry is one line: the number, white space and the text in
// double quotes. Inside the quotes \" stands for a quote, \\ for a backslash, \n, \r and \t for
// a line feed, carriage return and tab; any other backslash stands for itself. Lines that are
// empty, start with "#" or do not have this form are skipped; of two entries with the same
// number the first counts.

// Parses the text of a string table (UTF-8).
QHash<unsigned int, QString> ParseStringTable(const QByteArray& source);

// The entry id of the program's string table (at most 4096 characters), or an empty text when
// there is none. The table is read once, on first use.
QString LoadText(unsigned int id);

// The same entry in the program's single-byte code page (see AnsiText.h).
QByteArray LoadAnsiText(unsigned int id);
