#pragma once

#include "platform/Platform.h"

#include <QStringList>

// Reading and restoring a freedesktop Trash folder: `files/` holds the items, `info/` one
// NAME.trashinfo file per item with its original path and deletion date.
namespace TrashFolder {

// $XDG_DATA_HOME/Trash (normally ~/.local/share/Trash).
QString homeTrash();
// The trash folders of a mounted volume: TOP/.Trash/UID and TOP/.Trash-UID.
QStringList topDirTrashes(const QString& mountPoint);
// The items of one trash folder; unreadable or malformed entries are left out.
QList<TrashItem> items(const QString& trashFolder);
// Moves the item back to its original path and removes its info file. Refuses when something
// already stands at the original path.
bool restore(const TrashItem& item, QString* error);

} // namespace TrashFolder
