#pragma once

#include "store/metadata/EntryRecord.h"
#include "store/metadata/MetadataListing.h"
#include "store/metadata/MetadataLocation.h"

#include <QString>
#include <QStringList>

#include <functional>

class ContainerCrypt;
class RegisteredFolderTable;

// The metadata file "_snf.kbxn" of each folder in a registered folder: one EntryRecord per
// directory entry, so that the contents list can show original names, sizes and times without
// opening every container. The file is a cache, enciphered under the registered folder's key:
// SyncFolderMetadata compares it with the folder and rebuilds it when they differ. After
// changing a folder's entries, callers synchronise it before they query it again.
//
// In every operation `root` is the registered root of the folder (FindRegisteredRoot): it names
// the key slot of the folder's metadata. Operations return 0 or -1 and show their own messages.
class FolderMetadata
{
public:
    // The result of the check for plain files and duplicate names; it accumulates over folders.
    struct PlainScan
    {
        int plainCount = 0;
        QString plainList; // the first ten paths, one per line, then "　：" once
        int duplicateCount = 0;
        QString duplicateList; // the same for duplicate display names
    };

    // workingFolder answers the current working folder.
    FolderMetadata(const RegisteredFolderTable& table, std::function<QString()> workingFolder,
                   ContainerCrypt& crypt);

    // Brings the folder's metadata file up to date. An unchanged folder costs one listing and one
    // decipher; a changed one keeps the records of unchanged entries in their order, drops those
    // of entries that are gone or changed and appends records for new or changed entries (reading
    // their container headers). A-281 (an empty file that cannot be deleted), A-282 (a file that
    // does not begin with the header line), A-283 for each malformed record dropped; -1 without
    // writing when the folder cannot be listed.
    int SyncFolderMetadata(const QString& folder, const QString& root);
    // The same, with the folder's listing taken by the caller just before (nullptr: listed here),
    // handing back the record lines as written (subfolders' included) so that the caller need not
    // read the file again.
    int SyncFolderMetadata(const QString& folder, const QString& root,
                           const QList<MetadataListing::Entry>* listing, QStringList* records);
    // The record lines of the folder's metadata file as they stand; those of subfolders only with
    // includeFolders 1. A-288 when the file does not begin with the header line.
    int LoadEntryRecords(const QString& folder, const QString& root, int includeFolders, QStringList* lines);

    // The file that shows this display name: the first encrypted file in record order, otherwise
    // the last plain file. Synchronises first unless the folder is the one resolved last time.
    // -1 when no file shows the name (or on failure; A-289 for a malformed record).
    int ResolveDisplayName(const QString& folder, const QString& displayName, const QString& root,
                           QString* fullPath, int* kind);
    // -1 with inUse 1 when the name is taken: by a subfolder on disk; with mode 2 by a plain file
    // stored under it; with any other mode by an encrypted file showing it. 0 with inUse 0 when
    // it is free; -1 with inUse 0 on failure (A-304 for a malformed record).
    int IsNameInUse(const QString& folder, const QString& name, int mode, const QString& root, int* inUse);
    // 0 when the folder has a subfolder (by its records, or by the disk while it has no metadata).
    int HasSubfolderRecords(const QString& folder, const QString& root);
    int MetadataExists(const QString& folder) const { return m_location.MetadataExists(folder); }
    // Counts plain files and repeated display names in the folder (and with recursive in every
    // subfolder below it that is no symbolic link). A-305 for a malformed record.
    int ScanPlainAndDuplicates(const QString& folder, bool recursive, const QString& root, PlainScan* scan);

    QString MetadataFolderOf(const QString& folder) const { return m_location.MetadataFolderOf(folder); }
    QString RealFolderOf(const QString& metadataFolder) const
    {
        return m_location.RealFolderOf(metadataFolder);
    }
    int PruneMetadataFolders(const QString& root) const { return m_location.PruneMetadataFolders(root); }

    // base + ext, base + " (2)" + ext, …: the first that no file of the folder shows.
    int MakeUniqueDisplayName(const QString& folder, const QString& base, const QString& ext,
                              const QString& root, QString* name);
    // "title - コピー.ext", "title - コピー (2).ext", …: the first that no file of the folder shows.
    int MakeCopyDisplayName(const QString& folder, const QString& source, const QString& root, QString* name);

    const MetadataLocation& location() const { return m_location; }

private:
    enum Resolved
    {
        ResolveFailed = -1,
        Found = 0,
        NotFound = 1,
    };
    Resolved resolve(const QString& folder, const QString& displayName, const QString& root,
                     QString* fullPath, int* kind);
    // The record of a new or changed entry; false when the file cannot be opened.
    bool recordOf(const QString& folder, const QString& name, bool isFolder, const QString& writeTime,
                  const QString& root, QString* line);
    int syncFile(const QString& file, const QString& folder, const QString& root,
                 const QList<MetadataListing::Entry>* listing, QStringList* records);
    int scanFolder(const QString& folder, bool recursive, const QString& root, PlainScan* scan);

    MetadataLocation m_location;
    ContainerCrypt& m_crypt;
};
