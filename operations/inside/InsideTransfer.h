#pragma once

#include "operations/inside/UndoHistory.h"

#include <QString>
#include <QStringList>

class StoreContext;
struct OverwriteQuestion;

// What the program's own clipboard holds: items of the store cut or copied from the contents
// list, and the folder they were shown in.
struct InsideClipboard
{
    QStringList paths;
    bool cut = false;
    QString sourceFolder;

    bool isEmpty() const { return paths.isEmpty(); }
    void clear() { *this = InsideClipboard(); }
};

// Copies and moves items of the store into a folder of a registered folder. Inside one
// registered folder a container is copied or renamed as it is; between two, it is decrypted
// into the source folder's scratch area, encrypted with the target folder's key (the engine
// verifies what it wrote) and only then, on a move, removed at its source; the plain scratch copy
// is wiped at once. A failure or a stop leaves every item either at its source or complete at its
// target, and the metadata of the folders concerned follows. Changes are recorded in the undo
// history.
//
// Every method returns 0 or -1 and shows its own messages; the transfers of single entries
// return -9 when the user stopped the operation.
class InsideTransfer
{
public:
    InsideTransfer(StoreContext& store, UndoHistory& history) : m_store(store), m_history(history) {}

    // Pastes the clipboard's items into target. The checks of all items come first (A-103 for a
    // missing item, A-104 + path for a folder holding a file the folder's key does not open, the
    // in-use refusals); the first refusal ends it before anything is changed. Into the folder
    // they came from, a cut changes nothing and a copy makes "name - コピー" duplicates.
    int InsidePaste(const InsideClipboard& clipboard, const QString& target);
    // Copies or moves the items into target, asking on collisions (replace, replace all, skip,
    // cancel). A stop ends it with 0; what was done stays and is recorded when record is set.
    int TransferItems(bool move, const QStringList& items, const QString& target, bool record);
    // Rows dragged onto a folder of the list or the tree: the checks of every dragged item
    // first, then the transfer, then the scratch area is wiped.
    int DragTransfer(bool move, const QStringList& dragged, const QString& target);

    // One container to the target path (replaced when it exists). 0, -1, or -9 after a stop.
    int TransferFile(bool move, const QString& source, const QString& target);

    // After a paste or a drag: whether folders were among the items (the tree reads them again).
    bool foldersInvolved() const { return m_foldersInvolved; }

private:
    enum class Step
    {
        Done,
        Skipped,
        Ended, // cancelled at a question, or stopped
        Failed,
    };

    // Asks about an item whose name the target already shows; replaceAll set skips the question.
    Step askCollision(const OverwriteQuestion& question, bool* replaceAll);
    Step transferItem(bool move, const QString& item, const QString& target, UndoRecord* done);
    int checkTransferTarget(const QString& source, const QString& target, bool move, bool folder);
    int copyAcrossFolders(const QString& source, const QString& target, const QString& sourceRoot,
                          const QString& targetRoot);
    int transferFolder(bool move, const QString& source, const QString& target, UndoRecord* record);
    int transferFolderTree(bool move, const QString& source, const QString& target, UndoRecord* record);
    int transferOneFile(bool move, const QString& source, const QString& target, UndoRecord* record);
    int duplicateInPlace(const QStringList& items, const QString& target);
    // The container that shows this name in the folder, or a fresh generated name there.
    QString targetFor(const QString& folder, const QString& displayName, bool* collision);
    QString displayNameOf(const QString& path);

    StoreContext& m_store;
    UndoHistory& m_history;
    bool m_replaceAllFiles = false;
    bool m_replaceAllFolders = false;
    bool m_foldersInvolved = false;
};
