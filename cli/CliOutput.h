#pragma once

#include <QJsonObject>
#include <QString>

// Results of kbx on standard output, in UTF-8, one line each, control characters escaped (see
// TerminalSafe): what is printed may come from a container or a file name.
void PrintLine(const QString& line);
// "name: value", the form of every line `kbx info` prints.
void PrintField(const QString& name, const QString& value);
// One JSON document on one line of standard output, in UTF-8 (no escaping of its own: JSON's
// string escapes already keep control characters out of the text).
void PrintJson(const QJsonObject& object);
