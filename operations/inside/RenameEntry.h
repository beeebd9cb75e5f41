#pragma once

#include <QString>

class StoreContext;
class UndoHistory;

// Renaming an item of a registered folder in place (the contents list's label editing). A
// container keeps its generated file name: the new name is written into it as its original
// name. A folder gets the new name on disk. The folder's metadata follows either way.
class RenameEntry
{
public:
    explicit RenameEntry(StoreContext& store) : m_store(store) {}

    // Renames the container or folder at `path` to `newName`. 0 renamed; -1 refused or failed,
    // with its message shown: A-316 in a folder registered read-only; A-34 (warning) when
    // nothing is at the path any more; the access check's refusal; A-290 for a name that cannot
    // be a file name. A container: A-39 (warning) while its working copy exists, A-38 when the
    // folder's key does not open it, A-40 when it cannot be rewritten, A-41 when it cannot be
    // made read-only again, A-42 when the metadata cannot follow. A folder: A-37 (warning) while
    // a decrypted copy lies below it, A-35 when it cannot be renamed, A-36 when the metadata
    // cannot follow.
    // With a history, a rename that went through is recorded there.
    int Run(const QString& path, const QString& newName, UndoHistory* history = nullptr);

private:
    int renameContainer(const QString& path, const QString& newName, const QString& root);
    int renameFolder(const QString& path, const QString& newName, const QString& root);
    bool decryptedCopyBelow(const QString& folder) const;

    StoreContext& m_store;
};
