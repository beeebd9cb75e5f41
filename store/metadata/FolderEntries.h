#pragma once

#include <QList>
#include <QString>

// One entry of a folder as the store's tree walks see it.
struct FolderEntry
{
    QString name;
    QString path;          // folder + "/" + name
    bool isFolder = false; // a real folder; a symbolic link to a folder is no entry at all
    // The name on disk is no valid UTF-8: `name` shows it with replacement marks and `path` leads
    // nowhere. Such an entry is never a folder, so a walk reaches it as a file it cannot open
    // and refuses instead of passing it by.
    bool unreadableName = false;
};

// The entries of a folder in the order in which the file system returns them, without "." and
// "..". Symbolic links to folders and dangling links are left out, so that no walk follows a link
// into another part of the disk or round a loop; a link to a file counts as that file. -1 when
// the folder cannot be listed.
int ListFolderEntries(const QString& folder, QList<FolderEntry>* entries);
