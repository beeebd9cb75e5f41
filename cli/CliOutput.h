#pragma once

#include <QString>

// Results of kbx on standard output, in UTF-8, one line each.
void PrintLine(const QString& line);
// "name: value", the form of every line `kbx info` prints.
void PrintField(const QString& name, const QString& value);
