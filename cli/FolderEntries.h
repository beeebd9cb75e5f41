#pragma once

#include "operations/check/ClassifiedFiles.h"

#include <QList>
#include <QString>

class ContainerCrypt;

// The tool's words for the entries of an encrypted folder (operations/check/ClassifiedFiles.h),
// and the listing of one folder.

// Why a file whose name is no valid UTF-8 is left alone.
QString NameNotTextReason();

// The stable words of the kinds, for --json and for scripts.
QString KindKeyword(ClassifiedEntry::Kind kind);
// The kind in the tool's language, for people.
QString KindWord(ClassifiedEntry::Kind kind);

// The entries of one folder, subfolders first, each group by name; the partial files of writes
// that did not finish among them. -1 (reported) when the folder cannot be listed.
int ListFolderEntries(ContainerCrypt& crypt, const QString& folder, const QString& slot,
                      QList<ClassifiedEntry>* entries);

// The path relative to the top folder of a command, as it is shown.
QString RelativeTo(const QString& top, const QString& path);
