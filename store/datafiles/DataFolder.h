#pragma once

#include <QString>

// The per-user folder of the settings file and the data files: the configuration folder +
// "/kurasoft/KBXcl1".
QString DataFolderPath();

// Creates the folder with every missing level, each private to the user (0700). An existing
// data folder that others may enter is tightened to its owner's bits, noted in the log; a
// failure to tighten it does not stop anything. Failure to create: message A-142 with the cause
// and the folder, and -1.
int CreateDataFolder(const QString& dataFolder);
