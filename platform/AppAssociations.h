#pragma once

#include <QString>

// The desktop's file-type associations (shared-mime-info and desktop entries, through GIO).

// The full path of the default program for files with this extension (a missing leading "."
// is added); empty when there is none.
QString DefaultProgramForExtension(const QString& extension);
// The name the desktop shows for the program file (the Name of its desktop entry); the file
// name part of the path when no entry runs it.
QString ProgramDisplayName(const QString& programPath);
