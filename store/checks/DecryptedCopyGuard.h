#pragma once

#include <QString>

class ContainerChecks;
class FolderMetadata;
class RegisteredFolderTable;
class WorkingCopyPaths;

// An item whose decrypted working copy exists may not be moved, renamed or deleted: the copy
// would later be written back to a container that is no longer there. These checks refuse such
// items before an operation starts. `key` is the key slot of the item's registered folder.
class DecryptedCopyGuard
{
public:
    DecryptedCopyGuard(const RegisteredFolderTable& table, FolderMetadata& metadata, ContainerChecks& checks,
                       const WorkingCopyPaths& paths);

    // 0 when the item's working copy exists as a file; -1 otherwise.
    int WorkingCopyExists(const QString& item) const;
    // -1 when another program has the item's working copy open.
    int IsWorkingCopyOpen(const QString& item) const;

    // A folder: refused (A-295, its name, A-296) as soon as one container below it has its
    // working copy. A file: A-299 when it does not exist, A-297 + its display name + A-298 when
    // its working copy exists. Warnings; 0 to go on.
    int RefuseIfDecryptedCopy(const QString& item, const QString& key) const;
    // The same for the encrypted file that shows this name (folder + "/" + display name); 0 when
    // no encrypted file shows it.
    int RefuseIfEntryDecrypted(const QString& path, const QString& key) const;

private:
    const RegisteredFolderTable& m_table;
    FolderMetadata& m_metadata;
    ContainerChecks& m_checks;
    const WorkingCopyPaths& m_paths;
};
