#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class ContainerCrypt;

// What the files of an encrypted folder are, read from their headers alone: the folder's
// metadata files are neither needed nor written. The command-line tool lists these entries and
// both the tool and the window check folders through them; the window's contents list reads the
// same headers, so all show a folder alike.

struct ClassifiedEntry
{
    enum Kind
    {
        Subfolder,
        Encrypted,     // opens with the key
        Plain,         // not an encrypted file
        OtherPassword, // an encrypted file of another password
        NewerFormat,   // an encrypted file of a newer program
        Unreadable,    // named or signed as an encrypted file, but its header or name block cannot be read
        Partial,       // the partial output of a write that is running or did not finish
    };

    Kind kind = Plain;
    QString path;            // the file or folder on disk
    QString storedName;      // its name on disk
    QString name;            // the original name of an encrypted file, otherwise the stored name
    qint64 size = 0;         // the original size of an encrypted file, otherwise the file's size
    qint64 modified = 0;     // seconds since 1970 UTC: the original file's time, or the file's own
    qint64 encryptedAt = -1; // the YYYYMMDDhhmmss digits of an encrypted file's writing, else -1
    QString encryptedText;   // "YYYY/MM/DD hh:mm:ss" as the window shows it
    QString modifiedText;
    // False for a name on disk that is no valid UTF-8: listed with replacement marks as
    // unreadable, never opened, as its path in text leads to no file or to another one.
    bool nameIsText = true;
};

// One file classified under the key slot. Its size and times are filled for every kind.
ClassifiedEntry ClassifyFile(ContainerCrypt& crypt, const QString& path, const QString& slot);

// An entry of the folder listing that is not classified by its header (a subfolder, a partial
// file), with its size and time.
ClassifiedEntry UnclassifiedEntry(ClassifiedEntry::Kind kind, const QString& path, const QString& name);

// The folder's subfolders by name; links to folders are not followed.
QStringList SubfoldersOf(const QString& folder);

// The folder and, when recursive, every folder below it (parents before children); stops and
// returns -1 as soon as visit does.
int VisitFolders(const QString& folder, bool recursive, const std::function<int(const QString&)>& visit);

// The original names that more than one encrypted file of one folder shows: the folder is then
// one whose files can only be taken out. Each name once, in order.
QStringList DuplicateNames(const QList<ClassifiedEntry>& entries);
