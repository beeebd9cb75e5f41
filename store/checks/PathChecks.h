#pragma once

#include <QString>

class ContainerChecks;
class RegisteredFolderTable;

// Checks of folders and names that the file operations make before they start. Each shows its
// own warning and returns -1 for a refusal, 0 to go on.

// 0 when the folder exists. Otherwise tells why it cannot be reached: A-278 when the path lies
// on no volume at all; A-279 when it lies on a removable disk or a CD/DVD, which may simply not
// be inserted; A-280 when it has been moved or deleted. For a registered folder the drive type
// recorded at its registration counts first (table, when given), since a removed stick no
// longer has a mount point to ask.
int CheckFolderReachable(const QString& folder, const RegisteredFolderTable* table = nullptr);

// -1 with A-290 when the name holds any of * ? " | < > \ / :; 0 otherwise.
int IsValidItemName(const QString& name);

// Refuses copying or moving an item onto itself or into itself (error icon, -1). A folder: A-312
// when the target is the folder itself, A-313 when it is the folder that holds it, A-314 when it
// lies inside it, each after the folder's name and " を" + the verb. A file: A-315 after its
// display name (read with the key of its registered folder) when the target is its own folder.
int CheckCopyMoveTarget(const QString& source, const QString& target, bool move, bool sourceIsFolder,
                        ContainerChecks& checks, const RegisteredFolderTable& table);
