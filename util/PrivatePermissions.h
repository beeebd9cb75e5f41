#pragma once

#include <QString>

#include <sys/types.h>

// The permissions of everything private the program writes: the data folder with its settings
// and data files, the working folder with its areas and copies, and the files that kbx writes.
// Items are created with these modes, so the umask can only make them stricter.
inline constexpr mode_t PrivateFileMode = 0600;
inline constexpr mode_t PrivateFolderMode = 0700;

// Cuts the permissions of an existing item of the program's own back to those of its bits that
// `allowed` holds (PrivateFileMode or PrivateFolderMode); a change is noted in the log. Returns
// 0, or -1 with errno when the item cannot be examined or changed.
int TightenPermissions(const QString& path, mode_t allowed);

// Notes in the log that the permissions of `path` were cut back from `from` to `to`.
void NoteTightenedPermissions(const QString& path, mode_t from, mode_t to);
