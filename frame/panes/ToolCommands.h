#pragma once

#include <QObject>

class ContentsView;
class DecryptedFilesView;
class FolderTreeView;
class CommandRouter;
class ContentsCommands;
class StoreContext;
class QWidget;

// The Tools menu and the backups: the plain-file check of the shown folder (which may put the
// window into the take-out-only state), the check that every encrypted file of the shown
// folder's registered folder is whole, the administrator password, the change passwords, the
// hint window, the settings sheet, the backup of the tree item concerned (from the main menu
// and from the tree's own menu) and the notice on bringing a backup back. Routes them on the
// window's router. After the settings sheet the panes follow what changed: names shown anew
// when the extension setting changed, the decrypted copies watched in the new working folder.
//
// window parents the dialogs; the panes and the contents commands outlive this object (the
// window owns all of them).
class ToolCommands : public QObject
{
    Q_OBJECT

public:
    ToolCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree, ContentsView* contents,
                 DecryptedFilesView* decrypted, ContentsCommands* contentsCommands, QWidget* window);

    // The page the settings sheet opens at: the one it was left at after the last OK.
    int settingsPage() const { return m_settingsPage; }

private:
    int checkPlainFiles();
    int checkContainers();
    int showHintWindow();
    int runSettings();
    int backupConcerned();

    StoreContext& m_store;
    FolderTreeView* m_tree;
    ContentsView* m_contents;
    DecryptedFilesView* m_decrypted;
    ContentsCommands* m_contentsCommands;
    QWidget* m_window;
    int m_settingsPage;
};
