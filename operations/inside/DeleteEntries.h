#pragma once

#include <QString>
#include <QStringList>

class StoreContext;
class UndoHistory;

// Deletes items of a registered folder: to the Trash, from where the undo history can bring
// them back, or permanently (asked for with Shift, and always off a fixed local disk, which has
// no Trash). Every check runs over all items before anything is deleted; an item with a
// decrypted copy out is never deleted, so no copy is left without its container.
class DeleteEntries
{
public:
    DeleteEntries(StoreContext& store, UndoHistory& history) : m_store(store), m_history(history) {}

    // Where the request comes from decides the question: the contents list asks with the item's
    // display name or the count, the tree with the folder's name
    //
    enum class Asker
    {
        ContentsList,
        FolderTree,
    };

    // Deletes the items shown in folder. 0 deleted; -1 refused, declined or failed, with its
    // message shown: A-316 in a folder registered read-only, the access check's refusal, the
    // decrypted-copy refusals, A-48 when the Trash refused an item
    // (those already in the Trash are recorded), A-49 when a permanent delete failed.
    int Run(const QStringList& items, const QString& folder, bool permanent,
            Asker asker = Asker::ContentsList);

    // After Run: whether the deletion was permanent (a disk without a Trash makes it so), and
    // whether a folder was among the items (the tree reads its folders again).
    bool wasPermanent() const { return m_permanent; }
    bool foldersDeleted() const { return m_foldersDeleted; }

private:
    bool confirm(const QStringList& items, Asker asker) const;

    StoreContext& m_store;
    UndoHistory& m_history;
    bool m_permanent = false;
    bool m_foldersDeleted = false;
};
