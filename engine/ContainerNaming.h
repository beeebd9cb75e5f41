#pragma once

#include <QString>

// A fresh container file name ("%08X%04X%04X-%02X…" + ".kbxf") that no file in the folder has.
// A failure to draw a GUID shows A-451 and returns -1.
int ContainerName(const QString& folder, QString* name);
