#pragma once

#include <QString>

// Checks kbx makes on its file operands before the engine runs. Each reports its refusal and
// returns -1, or returns 0.

// The operand as an absolute, clean path.
QString AbsolutePath(const QString& operand);

// Whether both paths name the same file (also through links); paths of files that do not
// exist compare as texts.
bool SameFile(const QString& first, const QString& second);

// An existing file (not a folder) to read.
int RequireInputFile(const QString& path);

// An output path that may be written: no folder, and no existing file unless force is set.
int RequireFreeOutput(const QString& path, bool force);

// The folder plus a file name taken from inside an encrypted file; -1 (reported) when the
// name could reach outside the folder.
int OutputPathInFolder(const QString& folder, const QString& name, QString* path);
