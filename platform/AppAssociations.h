#pragma once

#include <QList>
#include <QString>

class QUrl;

// The desktop's file-type associations (shared-mime-info and desktop entries, through GIO).

struct ProgramEntry
{
    QString displayName; // the Name of its desktop entry
    QString path;        // the program file, found on PATH
};

// The description of the extension's type in the user's language ("テキスト文書"); empty when
// the desktop does not know the type.
QString TypeDescriptionForExtension(const QString& extension);
// The programs that open files with this extension: the default one first, then every other
// program that declares the type. Entries whose program file is not found are left out.
QList<ProgramEntry> ProgramsForExtension(const QString& extension);

// The full path of the default program for files with this extension (a missing leading "."
// is added); empty when there is none.
QString DefaultProgramForExtension(const QString& extension);
// The name the desktop shows for the program file (the Name of its desktop entry); the file
// name part of the path when no entry runs it.
QString ProgramDisplayName(const QString& programPath);

// Hands the address to the desktop's default program for it: for a local file the program of
// its type, otherwise the program of the address's scheme. False when the desktop has no such
// program or it could not be started.
bool OpenWithDefaultProgram(const QUrl& url);
