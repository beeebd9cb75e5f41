#pragma once

#include <QObject>

class ContentsView;
class DecryptedFilesView;
class FolderTreeView;
class CommandRouter;
class StoreContext;

// The decrypted-files list's commands: write the selected or all copies back into their
// containers (a read-only folder's copies are erased instead), erase copies, and go to the
// folder a copy belongs to. Routes them on the window's router.
class DecryptedCommands : public QObject
{
    Q_OBJECT

public:
    DecryptedCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                      ContentsView* contents, DecryptedFilesView* decrypted, QObject* parent);

    // Every registered folder's copies written back (a read-only folder's erased), as the close
    // sequence asks. 0, or -1 when one folder failed.
    int ReflectEveryFolder();

private:
    // The copies of one registered folder written back (silent: no message when all went), or erased when it
    // is read-only.
    int reflectOrDiscard(const QString& root, bool silent);
    void refreshLists();

    StoreContext& m_store;
    FolderTreeView* m_tree;
    ContentsView* m_contents;
    DecryptedFilesView* m_decrypted;
};
