#include "frame/panes/InsideCommands.h"

#include "app/ShellFileTypes.h"
#include "dialogs/properties/FilePropertiesDialog.h"
#include "dialogs/properties/FolderPropertiesDialog.h"
#include "frame/PaneFocus.h"
#include "frame/commands/CommandRouter.h"
#include "frame/commands/CommandTable.h"
#include "frame/panes/ContentsCommands.h"
#include "frame/tree/FolderTreeView.h"
#include "operations/inside/DeleteEntries.h"
#include "operations/inside/NewEntries.h"
#include "operations/inside/RenameEntry.h"
#include "operations/inside/UndoRevert.h"
#include "operations/open/OpenFiles.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/EventPump.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "views/common/FileTypeIcons.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsModel.h"
#include "views/contents/ContentsView.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

namespace {

bool ShiftHeld()
{
    return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

QString Unknown(const QString& text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("不明") : text;
}

} // namespace

InsideCommands::InsideCommands(StoreContext& store, CommandRouter& router, FolderTreeView* tree,
                               ContentsView* contents, ContentsCommands* contentsCommands,
                               const PaneFocus& focus, QWidget* window)
    : QObject(window), m_store(store), m_tree(tree), m_contents(contents),
      m_contentsCommands(contentsCommands), m_focus(focus), m_window(window),
      m_newFileTypes(ListNewFileTypes())
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        // Another program's clipboard change empties ours; our own emptying does not.
        if (!m_settingClipboard) {
            m_clipboard.clear();
        }
    });
    connect(m_contentsCommands, &ContentsCommands::filesEncryptedIn, this,
            [this] { m_history.ClearUndoHistory(); });
    connect(m_contents, &ContentsView::rowsDropped, this, &InsideCommands::dragTransfer);
    connect(m_tree, &FolderTreeView::itemsDropped, this,
            [this](int command, const QString& target, const QStringList& items) {
                dragTransfer(command == FolderTreeView::DropMoveHere ? ListCommand::DropMoveHere
                                                                     : ListCommand::DropCopyHere,
                             target, items);
            });
    m_tree->canPaste = [this] { return !pasteText().isEmpty(); };
    connect(m_contents, &ContentsView::renameRequested, this, &InsideCommands::rename);
    m_contents->pasteText = [this] { return pasteText(); };
    m_contents->newFileEntries = [this] {
        QList<NewFileEntry> entries;
        for (const QString& extension : std::as_const(m_newFileTypes)) {
            QString name;
            GetTypeName(extension, &name);
            entries.append(
                {IconForFileName(QStringLiteral("x") + extension), name.isEmpty() ? extension : name});
        }
        return entries;
    };
    m_tree->deleteFolder = [this](const QString& path, bool permanent) {
        return DeleteTreeFolder(path, permanent);
    };

    // Each command of the main menu acts on the pane that has the focus.
    auto byFocus = [this, &router](int listCommand, int treeCommand) {
        return [this, &router, listCommand, treeCommand] {
            if (m_focus.is(m_tree)) {
                return treeCommand != 0 ? router.run(treeCommand) : Result::Failed;
            }
            return router.run(listCommand);
        };
    };
    router.route(Command::Cut, byFocus(ListCommand::Cut, FolderTreeView::CutFolder));
    router.route(Command::Copy, byFocus(ListCommand::Copy, FolderTreeView::CopyFolder));
    router.route(Command::Paste, byFocus(ListCommand::Paste, FolderTreeView::PasteFolder));
    router.route(Command::Rename, byFocus(ListCommand::Rename, 0));
    router.route(Command::Properties, byFocus(ListCommand::Properties, FolderTreeView::FolderProperties));

    router.route(ListCommand::Cut, [this] {
        return copyToClipboard(true, m_contentsCommands->selectedContents(false),
                               m_contents->shownFolderPath());
    });
    router.route(ListCommand::Copy, [this] {
        return copyToClipboard(false, m_contentsCommands->selectedContents(false),
                               m_contents->shownFolderPath());
    });
    router.route(ListCommand::Paste, [this] { return paste(m_contents->shownFolderPath()); });
    router.route(FolderTreeView::CutFolder, [this] {
        const QString path = treeItemPath();
        return path.isEmpty() ? Result::Failed : copyToClipboard(true, {path}, QFileInfo(path).path());
    });
    router.route(FolderTreeView::CopyFolder, [this] {
        const QString path = treeItemPath();
        return path.isEmpty() ? Result::Failed : copyToClipboard(false, {path}, QFileInfo(path).path());
    });
    router.route(FolderTreeView::PasteFolder, [this] {
        const QString path = treeItemPath();
        return path.isEmpty() ? Result::Failed : paste(path);
    });
    router.route(ListCommand::Delete, [this] { return deleteSelection(ShiftHeld()); });
    router.route(ListCommand::Rename, [this] {
        const QStringList selected = m_contentsCommands->selectedContents(false);
        const QModelIndex current = m_contents->currentIndex();
        if (selected.isEmpty() || !current.isValid() || !m_contents->selectionModel()->isSelected(current)) {
            return Result::Failed;
        }
        const QString path = m_contents->contentsModel()->text(current.row(), ContentsModel::FullPath);
        return m_contents->StartRenaming(path) ? Result::Ok : Result::Failed;
    });
    router.route(ListCommand::Properties, [this] {
        const QList<int> rows = m_contents->selectedRowsInOrder();
        if (rows.size() != 1) {
            return Result::Failed;
        }
        return properties(m_contents->contentsModel()->text(rows.first(), ContentsModel::FullPath),
                          rows.first());
    });
    router.route(FolderTreeView::FolderProperties, [this] {
        const QString path = treeItemPath();
        return path.isEmpty() ? Result::Failed : properties(path, -1);
    });
    router.route(ListCommand::NewFolder, [this] { return newFolder(); });
    for (int i = 0; i < m_newFileTypes.size() && i < ListCommand::NewFileCount; ++i) {
        router.route(ListCommand::NewFileFirst + i, [this, i] { return newFile(i); });
    }
    router.route(Command::Undo, [this] { return undo(); });
}

QString InsideCommands::treeItemPath() const
{
    const QModelIndex item = m_tree->itemConcerned();
    return item.isValid() ? m_tree->FolderItemPath(item) : QString();
}

void InsideCommands::refresh(bool folders)
{
    m_contents->RequestContentsRefresh();
    if (folders) {
        m_tree->RebuildFolderItems();
    }
}

bool InsideCommands::undoAvailable() const
{
    const UndoRecord* newest = m_history.newest();
    return newest && UndoRevert::CanRevert(*newest);
}

QString InsideCommands::pasteText() const
{
    if (!m_clipboard.isEmpty()) {
        return QStringLiteral("貼り付け(&P)");
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasUrls() ? QStringLiteral("暗号化して貼り付け(&P)") : QString();
}

int InsideCommands::copyToClipboard(bool cut, const QStringList& items, const QString& sourceFolder)
{
    if (items.isEmpty()) {
        return Result::Failed;
    }
    BusyScope busy;
    if (cut && m_store.folders().IsReadOnlyFolder(sourceFolder, 1) != 0) {
        return Result::Failed;
    }
    if (OpenFiles(m_store).RefuseIfDecrypted(items) != 0) {
        return Result::Failed;
    }
    m_settingClipboard = true;
    m_clipboard.clear();
    QGuiApplication::clipboard()->clear();
    m_clipboard = InsideClipboard{items, cut, sourceFolder};
    WaitPumping(100);
    m_settingClipboard = false;
    return Result::Ok;
}

int InsideCommands::paste(const QString& target)
{
    if (target.isEmpty()) {
        return Result::Failed;
    }
    BusyScope busy(true);
    if (m_store.folders().IsReadOnlyFolder(target, 1) != 0) {
        return Result::Failed;
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (m_clipboard.isEmpty() && data && data->hasUrls()) {
        return m_contentsCommands->PasteSystemFiles(target);
    }
    InsideTransfer transfer(m_store, m_history);
    const int result = transfer.InsidePaste(m_clipboard, target);
    if (m_clipboard.cut && result == 0) {
        m_clipboard.clear(); // the items have moved: a second paste has nothing to bring
    }
    refresh(transfer.foldersInvolved());
    return result;
}

int InsideCommands::dragTransfer(int command, const QString& target, const QStringList& items)
{
    BusyScope busy(true);
    InsideTransfer transfer(m_store, m_history);
    const int result = transfer.DragTransfer(command == ListCommand::DropMoveHere, items, target);
    refresh(transfer.foldersInvolved());
    return result;
}

int InsideCommands::deleteSelection(bool permanent)
{
    const QStringList items = m_contentsCommands->selectedContents(false);
    if (items.isEmpty()) {
        return Result::Failed;
    }
    BusyScope busy;
    DeleteEntries remove(m_store, m_history);
    const int result = remove.Run(items, m_contents->shownFolderPath(), permanent);
    refresh(remove.foldersDeleted());
    return result;
}

int InsideCommands::DeleteTreeFolder(const QString& path, bool permanent)
{
    BusyScope busy;
    return DeleteEntries(m_store, m_history).Run({path}, path, permanent, DeleteEntries::Asker::FolderTree);
}

int InsideCommands::rename(const QString& path, const QString& newName)
{
    BusyScope busy;
    const int result = RenameEntry(m_store).Run(path, newName, &m_history);
    refresh(result == 0 && QFileInfo(QFileInfo(path).path() + QLatin1Char('/') + newName).isDir());
    return result;
}

int InsideCommands::newFolder()
{
    const QString shown = m_contents->shownFolderPath();
    QString created;
    if (shown.isEmpty() || NewEntries(m_store).NewFolder(shown, &created) != 0) {
        return Result::Failed;
    }
    m_contents->FillContents(shown);
    m_tree->RebuildFolderItems();
    m_contents->StartRenaming(created);
    return Result::Ok;
}

int InsideCommands::newFile(int index)
{
    const QString shown = m_contents->shownFolderPath();
    const QString extension = m_newFileTypes.value(index);
    if (shown.isEmpty() || extension.isEmpty() || m_store.folders().IsReadOnlyFolder(shown, 1) != 0) {
        return Result::Failed;
    }
    ShellNewTemplate found;
    if (GetShellNewTemplate(extension, &found) != 0) {
        return Result::Failed;
    }
    NewFileContent content;
    if (found.kind == QLatin1String("FileName")) {
        content.kind = NewFileContent::TemplateFile;
        content.templateFile = found.fileName;
    } else if (found.kind == QLatin1String("Data")) {
        content.kind = NewFileContent::Bytes;
        content.bytes = found.data;
    }
    QString typeName;
    GetTypeName(extension, &typeName);
    QString container;
    {
        BusyScope busy;
        if (NewEntries(m_store).NewFile(shown, QStringLiteral("新規 ") + typeName, extension, content,
                                        &container) != 0) {
            return Result::Failed;
        }
    }
    m_contents->FillContents(shown);
    m_contents->StartRenaming(container);
    return Result::Ok;
}

int InsideCommands::properties(const QString& path, int row)
{
    if (QFileInfo(path).isDir()) {
        FolderPropertiesDialog dialog(m_window);
        dialog.name = QFileInfo(path).fileName();
        dialog.typeName = QStringLiteral("ファイル フォルダー");
        dialog.path = path;
        dialog.icon = FolderIcon();
        dialog.exec();
        return Result::Ok;
    }
    const QString root = m_store.folders().FindRegisteredRoot(path, 0);
    if (m_store.checks().IsReadableContainer(path, root) != 0) {
        ShowMessage(MsgA(106), MessageStyle::error());
        return Result::Failed;
    }
    const ContentsModel* model = m_contents->contentsModel();
    FilePropertiesDialog dialog(m_window);
    m_store.checks().DisplayNameOf(path, root, &dialog.displayName);
    dialog.typeName = Unknown(row >= 0 ? model->text(row, ContentsModel::TypeName) : QString());
    OpenWithPrograms programs;
    const QString extension = QStringLiteral(".") + QFileInfo(dialog.displayName).suffix();
    if (GetOpenWithList(extension, false, &programs) == 0 && !programs.names.isEmpty()) {
        dialog.programName = programs.names.first();
    }
    dialog.programName = Unknown(dialog.programName);
    dialog.location = QFileInfo(path).path();
    dialog.containerName = QFileInfo(path).fileName();
    dialog.modifiedText = Unknown(row >= 0 ? model->text(row, ContentsModel::ModifiedAt) : QString());
    dialog.encryptedText = Unknown(row >= 0 ? model->text(row, ContentsModel::EncryptedAt) : QString());
    QString error;
    m_store.checks().ReadHintOfFile(path, &dialog.hint, &error);
    dialog.fileIcon = IconForFileName(dialog.displayName);
    dialog.slot = root;
    dialog.exec();
    return Result::Ok;
}

int InsideCommands::undo()
{
    if (!m_history.newest()) {
        return Result::Failed;
    }
    BusyScope busy;
    UndoRevert revert(m_store, m_history);
    const int result = revert.RevertNewest();
    refresh(true);
    return result;
}
