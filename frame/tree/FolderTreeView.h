#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>

class ContentsView;
class FolderTreeModel;
class StoreContext;
class QTimer;

// The tree of registered folders and their subfolders (left pane): registering, releasing,
// logging in and out, and choosing the folder the contents list shows. Roots show whether they
// are logged in; a root's tooltip is its full path. The operations behind the commands are the
// store's and FolderRegistration's; the tree keeps its items and the list in step with them.
class FolderTreeView : public QTreeView
{
    Q_OBJECT

public:
    // The tree's own menu commands.
    enum TreeCommand
    {
        RegisterCommand = 32833,
        RegisterDropped = 32828,
        UnregisterRoot = 32800,
        BackupRoot = 32802,
        CutFolder = 32867,
        CopyFolder = 32865,
        PasteFolder = 32869,
        DeleteFolder = 32831,
        FolderProperties = 32863,
        // The drop menus: items of the window dropped onto a folder, files from outside dropped
        // onto a folder, a folder from outside dropped onto empty space.
        DropCopyHere = 32811,
        DropMoveHere = 32812,
        DropEncryptCopy = 32821,
        DropEncryptMove = 32825,
    };

    explicit FolderTreeView(QWidget* parent = nullptr);

    void attach(StoreContext& store, ContentsView* list);
    FolderTreeModel* folderModel() const { return m_model; }
    // The item the tree commands concern: the selected item; invalid when none.
    QModelIndex itemConcerned() const;

    // Every registered root in table order, logged out; the first one selected.
    void FillFolderTree();
    // Command 32833: the guidance while nothing is registered, otherwise the folder chooser.
    int StartRegistration();
    // The guidance of a first registration (also at start-up when nothing is registered).
    int RunGuidance();
    // The whole registration of a path: checks, dialogs, the root item, the login. 0 or -1.
    int RegisterFolder(const QString& path);
    // Unregisters the root of the item concerned after asking. 0 or -1.
    int UnregisterConcerned();
    // Logs in the root of the selected item and shows it; an empty password is asked for.
    int LoginSelectedFolder(const QString& password = QString());
    int LogoutSelectedFolder();
    // Shows a folder in the contents list, logging its root in when asked. 0 or -1.
    int OpenFolderView(const QString& path, bool login, const QString& password = QString());
    // Deletes the selected subfolder through deleteFolder (to the Trash, or permanently with
    // permanent) and shows its parent. 0 or -1.
    int DeleteSelectedSubfolder(bool permanent);
    // Selects the item of a folder below a shown root (reading subfolders on the way).
    bool SelectFolder(const QString& path);
    // Reads the subfolders of every expanded item again, keeping them expanded.
    void RebuildFolderItems();

    QString FolderItemPath(const QModelIndex& index) const;
    QModelIndex rootItemOf(const QString& root) const;

    // Whether the paste entry of the tree's menu has something to paste.
    std::function<bool()> canPaste;
    // Which command of a drop menu the user chose (0: none); unset, the menu is shown.
    std::function<int(const QPoint& globalPosition, const QList<int>& commands)> chooseDropCommand;
    // Whether a command of the menu that another part carries out has an operation yet.
    std::function<bool(int)> availableCommand;
    // Deletes a subfolder after asking (permanent: not to the Trash); 0 when it went.
    std::function<int(const QString& path, bool permanent)> deleteFolder;
    // Writes a folder's decrypted copies back before a logout; none: such a logout is refused.
    std::function<int(const QString& root)> reflectFolder;

signals:
    // The shown folder changed (root empty: none is shown).
    void folderShown(const QString& root, const QString& folder);
    // A command of the tree's menu that another part of the window carries out.
    void commandRequested(int id);
    // A folder was logged in (its root).
    void loggedIn(const QString& root);
    // The working areas could not be made: the program cannot go on.
    void closeRequested();
    // Items of this window dropped onto a folder, to be copied or moved there (DropCopyHere,
    // DropMoveHere) ...
    void itemsDropped(int command, const QString& target, const QStringList& items);
    // ... and files from outside, to be encrypted in (DropEncryptCopy, DropEncryptMove).
    void filesDropped(int command, const QString& target, const QStringList& paths);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void setupDragAndDrop();
    // The folder item whose icon or label is under the point; invalid when none.
    QModelIndex dropItemAt(const QPoint& point) const;
    void setDropItem(const QModelIndex& item);
    // A folder items may be dropped into: inside a registered folder that is logged in and
    // not read-only (A-217, A-219 + A-218, A-316). 0 or -1.
    int checkDropTarget(const QString& folder) const;
    int askDropCommand(const QPoint& globalPosition, const QList<int>& commands, const QStringList& texts);
    void onCurrentChanged(const QModelIndex& current);
    void onExpanded(const QModelIndex& index);
    void ReadSubfolders(const QModelIndex& index);
    void updateRootIcons();
    void removeRootItem(const QString& root);
    void clearShown(bool locked);
    QModelIndex addRootItem(const QString& root);
    QModelIndex indexOfPath(const QString& path) const;
    QModelIndex childNamed(const QModelIndex& parent, const QString& name) const;

    FolderTreeModel* m_model;
    StoreContext* m_store = nullptr;
    ContentsView* m_list = nullptr;
    bool m_quiet = false;             // set while the tree itself changes selection or expansion
    QPersistentModelIndex m_dropItem; // highlighted as the drop target
    QTimer* m_expandTimer = nullptr;  // opens the item a drag hovers over
};
