#pragma once

#include <QString>

// Whether every file an operation is about to touch can be opened at all: a file that another
// program keeps to itself, or that the user may not read, would otherwise stop the operation
// half-way. Only volumes with file permissions are checked; on any other volume (FAT, exFAT, a
// CD) the check passes without opening a file.
//
// A file is opened for reading and closed again; a folder is walked at every depth (symbolic
// links to folders are not followed), and the first file that cannot be opened ends the walk.
// Paths that do not exist, pipes and devices, and folders that cannot be listed pass.
//
// On a refusal the text is A-621, the file-exception text of the cause, a blank line and the
// file's path: shown as a warning when show is 1, otherwise handed back in text (which is
// emptied on entry in any case). 0 pass, -1 refused.
int CheckFolderAccess(const QString& path, int show, QString* text);
