#pragma once

#include <QString>

class StoreContext;
class UndoHistory;
struct UndoRecord;

// Reverts the newest record of the undo history: a delete brings the items back from the Trash
// to where they were (recreating their folder; never over something that stands there now), a
// copy removes the copies (after asking), a move moves the items back (through the same transfer
// as the move, so containers that changed registered folder are encrypted again with their old
// folder's key), a rename renames back. A revert that succeeds drops the record; one that fails or
// is declined keeps it, less the items it did bring back.
class UndoRevert
{
public:
    UndoRevert(StoreContext& store, UndoHistory& history) : m_store(store), m_history(history) {}

    // Whether the record can still be reverted: what it would bring back is still where the
    // operation left it (the undo command is disabled otherwise).
    static bool CanRevert(const UndoRecord& record);
    // 0 reverted; -1 failed or declined, its message shown (A-168, A-178 to,
    // A-640, the questions answered no).
    int RevertNewest();

    // After RevertNewest: whether folders were concerned (the tree reads them again).
    bool foldersChanged() const { return m_foldersChanged; }

private:
    int revertDelete(UndoRecord& record);
    int revertCopy(UndoRecord& record);
    int revertMove(UndoRecord& record);
    int revertRename(UndoRecord& record);
    // The folder an item goes back into exists afterwards (A-640 when it cannot be made).
    bool recreateParent(const QString& path);
    void syncFolderOf(const QString& path);

    StoreContext& m_store;
    UndoHistory& m_history;
    bool m_foldersChanged = false;
};
