#pragma once

#include <QString>

// Overwrites a file with zeros, flushes it to disk and removes it; for a folder, every file
// below it, then (with removeFolders) the folder tree. Plain copies of the user's files are
// removed this way. Returns 0, or -1 with the text of the removal that kept failing; a file below
// the folder whose name is no valid UTF-8 is left where it is, and named in that text.
int WipeDelete(const QString& path, bool removeFolders, QString* errorText = nullptr);
