// Registering and unregistering folders from the tree, the first-start guidance, and deleting
// a subfolder shown in it.

#include "engine/CryptEngine.h"
#include "frame/tree/FolderTreeModel.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/folders/FolderLogin.h"
#include "operations/folders/FolderRegistration.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/ErrorText.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"
#include "util/ShellOperations.h"
#include "views/contents/ContentsView.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

const QString DefaultFolderName = QStringLiteral("KBX暗号フォルダー");

// The folder chooser of a registration, starting in the documents folder: its title names what
// is chosen, the sentence inside says what to do.
int ChooseFolderToRegister(QString* chosen)
{
    const QString start = Platform::instance().SpecialFolderPath(SpecialFolder::Documents);
    return PromptService::instance().BrowseForFolder(MsgA(242), start, QStringLiteral("暗号フォルダーの選択"),
                                                     QString(), 0, chosen);
}

} // namespace

int FolderTreeView::StartRegistration()
{
    int count = 0;
    m_store->folders().CountRegisteredFolders(&count);
    if (count == 0) {
        return RunGuidance();
    }
    QString chosen;
    if (ChooseFolderToRegister(&chosen) != 0) {
        return Result::Failed;
    }
    return RegisterFolder(chosen);
}

int FolderTreeView::RunGuidance()
{
    PromptService& prompts = PromptService::instance();
    const int choice = prompts.AskFirstRegistration();
    QString path;
    if (choice == 0) {
        path = Platform::instance().SpecialFolderPath(SpecialFolder::Documents) + QLatin1Char('/') +
               DefaultFolderName;
        if (!QFileInfo(path).isDir() && !QDir().mkpath(path)) {
            ShowMessage(ErrnoText(errno) + QStringLiteral("\n\n") + path, MessageStyle::warning());
            return Result::Failed;
        }
    } else if (choice == 1) {
        if (ChooseFolderToRegister(&path) != 0) {
            return Result::Failed;
        }
    } else {
        return Result::Failed;
    }
    const int result = RegisterFolder(path);
    if (result == 0 && m_list && !m_list->selectedRootPath().isEmpty() &&
        m_store->folders().IsReadOnlyFolder(m_list->selectedRootPath(), 0) == 0) {
        prompts.ShowEncryptionGuidance();
    }
    return result;
}

int FolderTreeView::RegisterFolder(const QString& path)
{
    FolderRegistration registration(*m_store);
    FolderRegistration::Outcome outcome;
    if (registration.RegisterFolder(path, &outcome) != 0) {
        return Result::Failed;
    }
    m_quiet = true;
    const QModelIndex item = addRootItem(outcome.root);
    updateRootIcons();
    setCurrentIndex(item);
    m_quiet = false;
    const int login = OpenFolderView(outcome.root, true, outcome.password);
    SecureWipe(outcome.password);
    return login == 0 ? Result::Ok : Result::Failed;
}

int FolderTreeView::UnregisterConcerned()
{
    const QModelIndex item = currentIndex();
    const QString root = m_store->folders().FindRegisteredRoot(FolderItemPath(item), 0);
    if (root.isEmpty()) {
        return Result::Failed;
    }
    if (FolderRegistration(*m_store).UnregisterFolder(root) != 0) {
        return Result::Failed;
    }
    removeRootItem(root); // the lists let go of the folder with it
    return Result::Ok;
}

int FolderTreeView::DeleteSelectedSubfolder(bool permanent)
{
    const QModelIndex item = currentIndex();
    if (!item.isValid() || FolderTreeModel::isRoot(item) || !deleteFolder) {
        return Result::Failed;
    }
    const QModelIndex parent = item.parent();
    const QString parentPath = FolderItemPath(parent);
    const int result = deleteFolder(FolderItemPath(item), permanent);
    if (result != 0) {
        return result;
    }
    m_quiet = true;
    ReadSubfolders(parent);
    m_quiet = false;
    setCurrentIndex(parent);
    if (m_list && m_list->shownFolderPath() != parentPath) {
        OpenFolderView(parentPath, false);
    } else if (m_list) {
        m_list->RequestContentsRefresh();
    }
    return Result::Ok;
}
