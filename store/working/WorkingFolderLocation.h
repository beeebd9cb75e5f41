#pragma once

#include <QString>

class RegisteredFolderTable;

// Where the working folder lies: its default place, the places the user may choose for it,
// and the rule that it only moves while no registered folder keeps a store folder in it.

// The result of a refused location.
inline constexpr int WorkingFolderRefused = 3;

// The per-user data folder + "/KBX-c1".
QString DefaultWorkingFolder();
// The home folder + "/KbxTemp": the example the settings page offers for a location of one's own.
QString SuggestedWorkingFolder();

// 0 when the folder may be the working folder; 3 when it is refused with a warning: a mount
// point, a volume that is not a fixed local disk, or a FAT volume on which the
// user answers No to question A-330. A volume whose type cannot be read is accepted.
int CheckWorkingFolderLocation(const QString& path);

// -1 when the folder `current` holds store folders of registered folders; list then names
// their roots, each followed by "\n". 0 otherwise (also when the folder does not exist).
int WorkingFolderInUse(const RegisteredFolderTable& table, const QString& current, QString* list);

// Lets the user choose a new working folder, starting at `current`. Refused while `current` is
// in use (A-326 with the list, -1); cancelling the folder browser gives -1; a refused location
// gives 3. 0 with the chosen folder.
int ChooseWorkingFolder(const RegisteredFolderTable& table, const QString& current, QString* chosen);
