#pragma once

#include <QString>
#include <QStringList>

// Questions about files, folders and volumes. Each returns 0 for yes/success and -1 for
// no/failure; operations that can explain a failure hand its text back.

int FileExists(const QString& path);      // a file, not a folder
int DirectoryExists(const QString& path); // a trailing "/" is ignored
int HasSubfolder(const QString& folder);
int CountEntries(const QString& folder, qint64* count);
// Files and folders below the folder at any depth (0 for a folder that cannot be read).
qint64 CountEntriesBelow(const QString& folder);

struct FolderTotals
{
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 folders = 0; // folders below the one walked
};
// Walks a folder recursively; a plain file counts as one file of its size.
FolderTotals FolderStatistics(const QString& path);
// Appends the full paths of every file below the folder, dispatching events between entries.
void ListFilesRecursive(const QString& folder, QStringList* files);

// Whether a name as read from the disk survives the way to text and back (it is valid UTF-8). A
// name that does not shows with replacement marks, and its text leads to no file or to another one.
bool IsTextName(const char* raw);
// The first entry at or below the folder (links not followed) whose name is no valid UTF-8, as a
// path shown with replacement marks; empty when there is none or the folder cannot be read.
QString FindNameNotText(const QString& folder);

int FileSize(const QString& path, qint64* size);

// What is at a path, found without opening it (a pipe would block its reader). A link to a file
// is the file; a link to a folder is told apart, as it is never followed.
enum class EntryType
{
    Missing, // nothing, or a dangling link
    File,
    Folder,
    LinkedFolder,
    Special, // a pipe, socket or device
};
EntryType EntryTypeOf(const QString& path);
// Bytes available to the user on the volume of the path, and that number as a size text.
int FreeSpace(const QString& path, qint64* bytes, QString* sizeText = nullptr);
// The drive type code (2 removable, 3 fixed, 4 remote, 5 optical, 6 RAM disk) of the path's volume.
int DriveType(const QString& path, int* type);
int VolumeFileSystem(const QString& path, QString* name, quint32* flags);

// Opens the file for shared reading and closes it again. The first form explains a failure with
// the file-exception text, the second with the system's error text.
int TestOpen(const QString& path, QString* errorText = nullptr);
int TestOpenSystemText(const QString& path, QString* errorText = nullptr);

// 3 when a file exists at the path; otherwise 1 for a volume's root (a mount point), else 2.
int ClassifyPath(const QString& path);

// -1 and the limit message when a folder path has 218 characters or more.
int CheckFolderPathLength(const QString& path, QString* errorText = nullptr);
// -1 and the limit message when a file path has more than 256 characters.
int CheckFilePathLength(const QString& path, QString* errorText = nullptr);

// The folder of the running program.
QString ModuleDirectory();

// The "open" program of files with this extension (a missing leading "." is added).
int AssociatedProgram(const QString& extension, QString* programPath);
// What the desktop calls the program; the file name when it has no desktop entry.
QString ProgramDescription(const QString& programPath);
// The id of the first running process whose executable name equals name (ignoring case); 0 when none.
qint64 FindProcessByExeName(const QString& name);
// The documents (5) or desktop (16) folder.
QString SpecialFolderPath(int csidl);
