#pragma once

#include <QObject>

class ContentsView;
class DecryptedFilesView;
class FolderTreeView;
class CommandRouter;
class ContentsCommands;
class StoreContext;

// The folder tree's commands: register and unregister folders, log them in and out, delete a
// subfolder. Routes them on the window's router and keeps the other panes in step with the
// tree: a login looks for files that cannot be told apart, the shown folder's decrypted copies
// are watched, and a logout writes the folder's copies back first.
class TreeCommands : public QObject
{
    Q_OBJECT

public:
    TreeCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                 DecryptedFilesView* decrypted, ContentsCommands* contents, QObject* parent);
};
