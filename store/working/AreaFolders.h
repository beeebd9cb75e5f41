#pragma once

#include <QString>

// Making and removing the folders of the working folder. Everything below the working folder
// may hold plain copies of the user's files: folders are made private to the user, and
// removals overwrite what they remove.

// Creates every missing folder along the path with the permissions 0700 (levels that exist
// stay as they are); the data folder is made the same way. 0, or -1 with the folder length
// limit text or the system's error text.
int CreatePrivateFolderTree(const QString& path, QString* errorText = nullptr);

// Wipe-deletes whatever stands at the path: a file, or every file below a folder and then,
// with removeFolders, the folder tree. A symbolic link is removed itself and never followed.
// Nothing at the path is success. -1 with the text of the removal that kept failing.
int WipeArea(const QString& path, bool removeFolders, QString* errorText = nullptr);

// WipeArea with message A-636 as the main window's busy text while it runs.
int WipeWithBusyText(const QString& path, bool removeFolders, QString* errorText = nullptr);

// Whether storeFolder is a store folder of the working folder: a folder name of its own
// (not ".", "..", nor holding "/") directly in an absolute working folder. A registered folder
// without a StoreName maps onto the working folder itself, which no area operation may touch.
bool IsStoreFolderIn(const QString& workingFolder, const QString& storeFolder);
