#include "frame/panes/ToolCommands.h"

#include "dialogs/confirmation/CopyProgressWindow.h"
#include "dialogs/settings/SettingsDialog.h"
#include "dialogs/settings/SettingsSheet.h"
#include "dialogs/tools/ContainerCheckDialog.h"
#include "dialogs/tools/PasswordHintDialog.h"
#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"
#include "frame/panes/ContentsCommands.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/backup/FolderBackup.h"
#include "operations/check/FolderCheck.h"
#include "operations/tools/AdministratorPassword.h"
#include "operations/tools/PlainFileCheck.h"
#include "store/StoreContext.h"
#include "store/working/DecryptedCopies.h"
#include "util/ResultCodes.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

ToolCommands::ToolCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                           ContentsView* contents, DecryptedFilesView* decrypted,
                           ContentsCommands* contentsCommands, QWidget* window)
    : QObject(window), m_store(store), m_tree(tree), m_contents(contents), m_decrypted(decrypted),
      m_contentsCommands(contentsCommands), m_window(window), m_settingsPage(SettingsDialog::DisplayPage)
{
    router.route(Command::PlainFileCheck, [this] { return checkPlainFiles(); });
    router.route(Command::ContainerCheck, [this] { return checkContainers(); });
    router.route(Command::AdminPassword, [this] { return ManageAdministratorPassword(m_store); });
    router.route(Command::ChangePasswords, [this] { return ManageChangePasswords(m_store); });
    router.route(Command::HintWindow, [this] { return showHintWindow(); });
    router.route(Command::Settings, [this] { return runSettings(); });
    router.route(Command::Backup, [this] { return backupConcerned(); });
    router.route(FolderTreeView::BackupRoot, [this] { return backupConcerned(); });
    router.route(Command::ImportBackup, [] {
        ShowBackupImportNotice();
        return Result::Ok;
    });
}

int ToolCommands::checkPlainFiles()
{
    bool duplicates = false;
    const int result = CheckFolderForPlainFiles(m_store, m_contents->selectedRootPath(), &duplicates);
    if (duplicates) {
        m_contentsCommands->setTakeOutOnly(true);
    }
    return result;
}

// The check runs with a copy of the logged-in folder's key: nothing is asked.
int ToolCommands::checkContainers()
{
    const QString root = m_contents->selectedRootPath();
    const int slot = root.isEmpty() ? -1 : m_store.engine().findSlot(root);
    if (slot < 0) {
        return Result::Failed;
    }
    ContainerCheckDialog check(root, m_store.engine().slot(slot), AvailableCores(), m_window);
    check.exec();
    return Result::Ok;
}

int ToolCommands::showHintWindow()
{
    PasswordHintDialog hints(m_window);
    hints.crypt = &m_store.crypt();
    hints.exec();
    return Result::Ok;
}

int ToolCommands::runSettings()
{
    SettingsSheetOutcome outcome;
    const int result = RunSettingsSheet(m_window, m_store, &m_settingsPage, &outcome);
    const QString shown = m_contents->shownFolderPath();
    if (outcome.titleModeChanged && !shown.isEmpty()) {
        m_contents->FillContents(shown);
    }
    if (outcome.workingFolderChanged) {
        // The decrypted copies of the shown folder now live below the new working folder.
        const QString root = m_contents->selectedRootPath();
        if (root.isEmpty()) {
            m_decrypted->StopWatchingDecrypted();
        } else {
            m_decrypted->WatchDecryptedFolder(m_store.copies().WorkingCopyArea(root, 0));
        }
        m_decrypted->RequestDecryptedRefresh();
    }
    return result;
}

int ToolCommands::backupConcerned()
{
    const QModelIndex item = m_tree->itemConcerned();
    if (!item.isValid()) {
        return Result::Failed;
    }
    CopyProgressWindow progress(m_window, QStringLiteral("バックアップ"));
    FolderBackup backup(m_store);
    backup.setProgressObserver(&progress);
    return backup.Run(m_tree->FolderItemPath(item));
}
