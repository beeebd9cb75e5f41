#pragma once

#include <QIcon>

// The toolbar's pictures, drawn by the program so they stay sharp at any size.
QIcon ToolbarIcon(int commandId);
