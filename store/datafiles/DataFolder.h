#pragma once

#include <QString>

// The per-user folder of the settings file and the data files: the configuration folder +
// "/kurasoft/KBXcl1".
QString DataFolderPath();

// Creates the folder with every missing level. Failure: message A-142 with the cause and the
// folder, and -1.
int CreateDataFolder(const QString& dataFolder);
