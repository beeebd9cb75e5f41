#pragma once

#include <QString>

// Whether files are held open by other programs.

// -1 when another process has the file open (Linux knows no sharing modes, so any program that
// holds it counts); 0 otherwise, also when the file cannot be looked at.
int IsOpenElsewhere(const QString& path);

// Walks the folder at any depth; the first file another process has open is handed back (its
// name), -1. No message.
int AnyFileOpenElsewhere(const QString& folder, QString* fileName);
