#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class ContainerCrypt;

// What the files of an encrypted folder are, read from their headers alone: the folder's
// metadata files are neither needed nor written. The window lists the same entries (the same
// listing, hidden files included, the engine's partial outputs left out) and reads the same
// headers, so both show a folder alike.

struct FolderEntry
{
    enum Kind
    {
        Subfolder,
        Encrypted,     // opens with the key
        Plain,         // not an encrypted file
        OtherPassword, // an encrypted file of another password
        NewerFormat,   // an encrypted file of a newer program
        Unreadable,    // named or signed as an encrypted file, but its header or name block cannot be read
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

// Why a file whose name is no valid UTF-8 is left alone.
QString NameNotTextReason();

// The stable words of the kinds, for --json and for scripts.
QString KindKeyword(FolderEntry::Kind kind);
// The kind in the tool's language, for people.
QString KindWord(FolderEntry::Kind kind);

// One file classified under the key slot. Its size and times are filled for every kind.
FolderEntry ClassifyFile(ContainerCrypt& crypt, const QString& path, const QString& slot);

// The entries of one folder, subfolders first, each group by name. -1 (reported) when the
// folder cannot be listed.
int ListFolderEntries(ContainerCrypt& crypt, const QString& folder, const QString& slot,
                      QList<FolderEntry>* entries);

// The folder's subfolders by name; links to folders are not followed.
QStringList SubfoldersOf(const QString& folder);

// The folder and, when recursive, every folder below it (parents before children); stops and
// returns -1 as soon as visit does.
int VisitFolders(const QString& folder, bool recursive, const std::function<int(const QString&)>& visit);

// The original names that more than one encrypted file of one folder shows: the folder is then
// one whose files can only be taken out. Each name once, in order.
QStringList DuplicateNames(const QList<FolderEntry>& entries);

// The path relative to the top folder of a command, as it is shown.
QString RelativeTo(const QString& top, const QString& path);
