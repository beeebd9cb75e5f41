#include "frame/panes/DecryptedCommands.h"

#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/open/ReflectCopies.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/MainWindowServices.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QFileInfo>

DecryptedCommands::DecryptedCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                                     ContentsView* contents, DecryptedFilesView* decrypted, QObject* parent)
    : QObject(parent), m_store(store), m_tree(tree), m_contents(contents), m_decrypted(decrypted)
{
    auto reflectSelected = [this] {
        const QString root = m_contents->selectedRootPath();
        if (!root.isEmpty() && m_store.folders().IsReadOnlyFolder(root, 1) != 0) {
            return Result::Failed;
        }
        if (ShowSettingNotice(&m_store.settings().ReturnAngoMsgFlg, MsgA(134), MsgA(135)) != 0) {
            return Result::Failed;
        }
        int result = Result::Failed;
        {
            BusyScope busy;
            result = ReflectCopies(m_store).ReflectSelected(m_decrypted->selectedCopies());
        }
        refreshLists();
        return result;
    };
    router.route(Command::ReflectSelected, reflectSelected);
    router.route(DecryptedFilesView::ReflectSelectedCommand, reflectSelected);
    auto reflectAll = [this] {
        const QString root = m_contents->selectedRootPath();
        if (root.isEmpty()) {
            return Result::Failed;
        }
        int result = Result::Failed;
        {
            BusyScope busy;
            result = reflectOrDiscard(root, false);
        }
        refreshLists();
        return result;
    };
    router.route(Command::ReflectAll, reflectAll);
    router.route(DecryptedFilesView::ReflectAllCommand, reflectAll);
    router.route(Command::EraseSelected, [this] {
        const int result = ReflectCopies(m_store).EraseSelected(m_decrypted->selectedCopies());
        m_decrypted->RequestDecryptedRefresh();
        return result;
    });
    router.route(DecryptedFilesView::GoToLocation, [this] {
        const QStringList copies = m_decrypted->selectedCopies();
        if (copies.size() != 1) {
            return Result::Failed;
        }
        QString proposal;
        const QString container = m_store.copyPaths().ContainerPathOf(copies.first(), true, &proposal);
        if (MetadataLocation::IsNoLocation(container)) {
            return Result::Failed;
        }
        const QString folder = QFileInfo(container.isEmpty() ? proposal : container).path();
        return m_tree->SelectFolder(folder) ? Result::Ok : Result::Failed;
    });
}

void DecryptedCommands::refreshLists()
{
    m_decrypted->RequestDecryptedRefresh();
    m_contents->RequestContentsRefresh();
}

int DecryptedCommands::reflectOrDiscard(const QString& root, bool silent)
{
    return m_store.folders().IsReadOnlyFolder(root, 0) != 0
               ? m_store.copies().DiscardDecryptedFiles(root, DecryptedCopies::AnnounceLoss)
               : ReflectCopies(m_store).ReflectAll(root, silent);
}

int DecryptedCommands::ReflectEveryFolder()
{
    QString list;
    QStringList roots;
    if (m_store.copies().ListFoldersWithDecryptedFiles(&list, &roots) == 0) {
        return Result::Ok;
    }
    int result = Result::Ok;
    BusyScope busy;
    for (const QString& root : std::as_const(roots)) {
        if (reflectOrDiscard(root, true) != 0) {
            result = Result::Failed;
        }
    }
    return result;
}
