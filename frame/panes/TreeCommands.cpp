#include "frame/panes/TreeCommands.h"

#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"
#include "frame/panes/ContentsCommands.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/open/ReflectCopies.h"
#include "store/StoreContext.h"
#include "store/working/DecryptedCopies.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QGuiApplication>

TreeCommands::TreeCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                           DecryptedFilesView* decrypted, ContentsCommands* contents, QObject* parent)
    : QObject(parent)
{
    tree->reflectFolder = [&store, decrypted](const QString& root) {
        const int result = ReflectCopies(store).ReflectAll(root, true);
        decrypted->RequestDecryptedRefresh();
        return result;
    };
    connect(tree, &FolderTreeView::loggedIn, this,
            [contents](const QString& root) { contents->checkTakeOutOnly(root, true); });
    connect(tree, &FolderTreeView::folderShown, this, [&store, decrypted](const QString& root) {
        if (root.isEmpty()) {
            decrypted->StopWatchingDecrypted();
            return;
        }
        decrypted->WatchDecryptedFolder(store.copies().WorkingCopyArea(root, 0));
    });

    router.route(Command::Register, [tree] { return tree->StartRegistration(); });
    router.route(FolderTreeView::RegisterCommand, [tree] { return tree->StartRegistration(); });
    router.route(Command::Unregister, [tree] { return tree->UnregisterConcerned(); });
    router.route(FolderTreeView::UnregisterRoot, [tree] { return tree->UnregisterConcerned(); });
    router.route(Command::Login, [tree] { return tree->LoginSelectedFolder(); });
    router.route(Command::Logout, [tree] { return tree->LogoutSelectedFolder(); });
    auto deleteFolder = [tree] {
        return tree->DeleteSelectedSubfolder(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    };
    router.route(FolderTreeView::DeleteFolder, deleteFolder);
}
