#pragma once

#include <QString>
#include <QStringList>

class RegisteredFolderTable;

// The checks a folder passes before it can be registered as an encrypted folder. Each refusal
// shows its message with the warning icon and returns -1.
namespace RegistrationChecks {

// Paths of this many characters or more are refused.
inline constexpr int MaxPathLength = 120;

// The folders a registered folder may neither lie in nor contain: the system's own folders and
// the folders programs are installed in (/opt, and the prefix the program runs from when it is
// installed). Each is a clean absolute path.
QStringList SystemFolders();
QStringList ProgramFolders();

// Runs the checks in their order: length, a free slot, an absolute path
// not a mount point, the drive type (a RAM disk A-227, an unknown kind A-228),
// not in the prefix relation with a system folder or a program folder, and not
// in the prefix relation with a registered root (A-231 the same folder, A-232 a folder that would
// contain a registered one, A-233 a folder inside one). 0 with the drive type, or -1.
int CheckFolderForRegistration(const QString& path, const RegisteredFolderTable& table, int* driveType);

// The display text of a root in the tree: the path itself when it lies directly under its mount
// point (or under "/"); otherwise the mount point (its first component when the mount point is
// "/") + "/.../" + the last component.
QString RootDisplayText(const QString& root);

} // namespace RegistrationChecks
