#pragma once

#include <QString>

// Attribute changes of single files and whole trees, each with its own error message.

// Removes the bits (clear set) or adds them. Adding bits that are all set already writes
// nothing. A-275 when the status cannot be read, A-274 with the cause when it cannot be written.
int ChangeAttributes(const QString& path, quint32 bits, bool clear);

// Sets (clear false) or removes (clear true) the read-only attribute of a file, or of every file
// below a folder at any depth (folders themselves stay as they are). A-277 for a single file,
// A-276 for the first file of a folder that fails, both with the cause and the file. A path that
// is neither gives 0.
int SetReadOnlyTree(const QString& path, bool clear);

// readOnly = the file's read-only attribute; A-332 when its status cannot be read.
int IsReadOnlyFile(const QString& path, bool* readOnly);
