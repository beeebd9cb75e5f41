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
// The value of an info file's Path= line for a path: its UTF-8 bytes percent-encoded, "/" as it
// is. And the path that such a value names; a value written unescaped (raw UTF-8, as an older
// version of this program wrote them) is taken as it stands.
QByteArray escapedPath(const QString& path);
QString pathOfValue(const QByteArray& value);
// Writes the Path= line of an item just moved into a trash folder in its escaped form, the
// rest of its info file unchanged. `trashedPath` is where the item now lies (TRASH/files/NAME).
bool escapeInfoPath(const QString& trashedPath, QString* error);
// Moves the item back to its original path and removes its info file. Refuses when something
// already stands at the original path.
bool restore(const TrashItem& item, QString* error);

} // namespace TrashFolder
