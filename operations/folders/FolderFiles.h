#pragma once

#include <QString>
#include <QStringList>

// The files of a registered folder at every depth, as the folder operations see them: regular
// files (and links to files), hidden entries and the engine's partial outputs left out, symbolic
// links to folders not followed. In a stable order (by path).
QStringList FilesBelow(const QString& folder);
