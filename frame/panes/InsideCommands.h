#pragma once

#include "operations/inside/InsideTransfer.h"
#include "operations/inside/UndoHistory.h"

#include <QObject>
#include <QStringList>

class ContentsView;
class FolderTreeView;
class PaneFocus;
class CommandRouter;
class ContentsCommands;
class StoreContext;
class QWidget;

// The commands that rearrange the store from the contents list and the tree: cut, copy and
// paste with the program's own clipboard (and files of other programs pasted in), the drag of
// rows onto a folder, delete, rename, new folder and new file, properties, and undo. Owns the
// inside clipboard and the undo history, and keeps the inside clipboard in step with the
// system's: whatever another program puts there empties it.
class InsideCommands : public QObject
{
    Q_OBJECT

public:
    InsideCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree, ContentsView* contents,
                   ContentsCommands* contentsCommands, const PaneFocus& focus, QWidget* window);

    const InsideClipboard& clipboard() const { return m_clipboard; }
    UndoHistory& history() { return m_history; }
    // Whether the newest record can still be reverted (the undo command's enabling).
    bool undoAvailable() const;
    // The paste entry's text for what the two clipboards hold; empty when there is nothing.
    QString pasteText() const;

    // Deletes a subfolder of the tree after asking (to the Trash unless permanent). 0 or -1.
    int DeleteTreeFolder(const QString& path, bool permanent);

private:
    void routeClipboard();
    void routeEntries();
    int copyToClipboard(bool cut, const QStringList& items, const QString& sourceFolder);
    int paste(const QString& target);
    int deleteSelection(bool permanent);
    int rename(const QString& path, const QString& newName);
    int newFolder();
    int newFile(int index);
    int properties(const QString& path, int row);
    int undo();
    int dragTransfer(int command, const QString& target, const QStringList& items);
    // The contents list read again, and the tree too when folders changed.
    void refresh(bool folders);
    QString treeItemPath() const;

    StoreContext& m_store;
    FolderTreeView* m_tree;
    ContentsView* m_contents;
    ContentsCommands* m_contentsCommands;
    const PaneFocus& m_focus;
    QWidget* m_window;
    UndoHistory m_history;
    InsideClipboard m_clipboard;
    bool m_settingClipboard = false; // set while an inside cut or copy empties the system clipboard
    QStringList m_newFileTypes;      // the extensions of the new-file menu, in id order
};
