#pragma once

#include <QString>

// The manual and the home page, opened with the desktop's programs for them. When nothing can
// open them (the manual is not there, or the desktop has no program for it) the user is told
// so, with the path or the address to open by other means. 0 when a program was started, -1
// otherwise.
int OpenManual(const QString& manualPath);
int OpenHomePage(const QString& address);
