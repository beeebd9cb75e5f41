#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the desktop knows about a file extension: the name of its type, a template for a new
// file of it, and the programs that open it. Served from shared-mime-info, the desktop entries
// and the user's templates folder. Nothing is shown on failure: a lookup that finds nothing
// returns -1 and the caller falls back.

struct ShellNewTemplate
{
    QString kind;     // "NullFile" (an empty file), "FileName" (a copy of fileName) or "Data"
    QString fileName; // the template file, for "FileName"
    QByteArray data;  // for "Data"
};

struct OpenWithPrograms
{
    QStringList names; // display names, in offer order
    QStringList paths; // the program files
};

inline constexpr int MaxNewFileTypes = 30;

// The type name in the user's language; -1 when the type is unknown.
int GetTypeName(const QString& extension, QString* name);
// A template in the templates folder whose name has this extension; -1 when there is none.
int GetShellNewTemplate(const QString& extension, ShellNewTemplate* result);
// Extensions (with their dot) for the new-file menu: every template that has a program to open
// it, in name order, at most 30.
QStringList ListNewFileTypes();
// The default program first, then the others that declare the type, without duplicates. With
// offerTextProgram and no program at all, the program for ".txt" is offered.
int GetOpenWithList(const QString& extension, bool offerTextProgram, OpenWithPrograms* programs);
