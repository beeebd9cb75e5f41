#include "operations/inside/UndoRevert.h"

#include "operations/common/StoreEntries.h"
#include "operations/inside/InsideTransfer.h"
#include "operations/inside/RenameEntry.h"
#include "operations/inside/UndoHistory.h"
#include "store/StoreContext.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "util/FileChanges.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

bool Ask(int message)
{
    return ShowMessage(MsgA(message), MessageStyle::question()) == MsgButton::Yes;
}

} // namespace

bool UndoRevert::CanRevert(const UndoRecord& record)
{
    if (record.isEmpty()) {
        return false;
    }
    return std::all_of(record.items.cbegin(), record.items.cend(), [&record](const UndoItem& item) {
        switch (record.kind) {
        case UndoRecord::Delete:
            return ExistsAsEntry(item.trashed);
        case UndoRecord::Copy:
            return ExistsAsEntry(item.path);
        case UndoRecord::Move:
        case UndoRecord::Rename:
            return ExistsAsEntry(item.newPath);
        case UndoRecord::None:
            break;
        }
        return false;
    });
}

int UndoRevert::RevertNewest()
{
    m_foldersChanged = false;
    UndoRecord* record = m_history.newestToRevert();
    if (!record) {
        return Result::Failed;
    }
    int result = Result::Failed;
    switch (record->kind) {
    case UndoRecord::Delete:
        result = revertDelete(*record);
        break;
    case UndoRecord::Copy:
        result = revertCopy(*record);
        break;
    case UndoRecord::Move:
        result = revertMove(*record);
        break;
    case UndoRecord::Rename:
        result = revertRename(*record);
        break;
    case UndoRecord::None:
        break;
    }
    if (result == 0 || record->items.isEmpty()) {
        m_history.DropNewest();
    }
    return result;
}

bool UndoRevert::recreateParent(const QString& path)
{
    const QString parent = QFileInfo(path).path();
    if (QFileInfo(parent).isDir() || QDir().mkpath(parent)) {
        return true;
    }
    ShowError(MsgA(640));
    return false;
}

void UndoRevert::syncFolderOf(const QString& path)
{
    const QString folder = QFileInfo(path).path();
    if (QFileInfo(folder).isDir()) {
        m_store.metadata().SyncFolderMetadata(folder, m_store.folders().FindRegisteredRoot(folder, 0));
    }
}

int UndoRevert::revertDelete(UndoRecord& record)
{
    // Newest first, so that a folder comes back before anything deleted from it later.
    for (qsizetype i = record.items.size() - 1; i >= 0; --i) {
        const UndoItem item = record.items.at(i);
        if (!ExistsAsEntry(item.trashed) || ExistsAsEntry(item.path)) {
            // Gone from the Trash, or something else stands at the former path now: it stays.
            ShowError(MsgA(595) + item.path);
            return Result::Failed;
        }
        if (!recreateParent(item.path)) {
            return Result::Failed;
        }
        QString error;
        if (RestoreFromRecycleBin(item.trashed, &error) != 0 || !ExistsAsEntry(item.path)) {
            ShowError(MsgA(595) + item.path + (error.isEmpty() ? QString() : QStringLiteral("\n\n") + error));
            return Result::Failed;
        }
        m_foldersChanged = m_foldersChanged || QFileInfo(item.path).isDir();
        syncFolderOf(item.path);
        record.items.removeAt(i);
    }
    return Result::Ok;
}

int UndoRevert::revertCopy(UndoRecord& record)
{
    for (const UndoItem& item : std::as_const(record.items)) {
        if (!ExistsAsEntry(item.path)) {
            ShowMessage(MsgA(178), MessageStyle::warning());
            return Result::Failed;
        }
        if (m_store.folders().IsReadOnlyFolder(item.path, 1) != 0) {
            return Result::Failed;
        }
    }
    const UndoItem& first = record.items.first();
    const QString what = record.items.size() == 1
                             ? QStringLiteral("' を")
                             : QStringLiteral("' を含む%1個の項目を").arg(record.items.size());
    if (ShowMessage(QStringLiteral("'") + first.name + what + MsgA(179), MessageStyle::question()) !=
        MsgButton::Yes) {
        return Result::Failed;
    }
    for (const UndoItem& item : std::as_const(record.items)) {
        if (m_store.copyGuard().RefuseIfDecryptedCopy(
                item.path, m_store.folders().FindRegisteredRoot(item.path, 0)) != 0) {
            return Result::Failed;
        }
    }
    // The copied files first, then the folders made for them, deepest first. A folder that holds
    // something put there since the copy stays.
    QStringList folders;
    for (qsizetype i = record.items.size() - 1; i >= 0; --i) {
        const QString path = record.items.at(i).path;
        if (QFileInfo(path).isDir()) {
            folders.append(path);
            continue;
        }
        QFile file(path);
        if (!file.remove()) {
            ShowError(MsgA(168) + path + QStringLiteral("\n\n") + file.errorString());
            return Result::Failed;
        }
        syncFolderOf(path);
        record.items.removeAt(i);
    }
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& folder : std::as_const(folders)) {
        DeleteFolderIfEmpty(folder);
        syncFolderOf(folder);
        m_foldersChanged = true;
    }
    record.items.clear();
    return Result::Ok;
}

int UndoRevert::revertMove(UndoRecord& record)
{
    for (const UndoItem& item : std::as_const(record.items)) {
        if (!ExistsAsEntry(item.newPath)) {
            ShowMessage(MsgA(180), MessageStyle::warning());
            return Result::Failed;
        }
        if (m_store.folders().IsReadOnlyFolder(item.newPath, 1) != 0 ||
            m_store.folders().IsReadOnlyFolder(item.path, 1) != 0) {
            return Result::Failed;
        }
        if (QFileInfo(item.newPath).isFile() &&
            m_store.copyGuard().RefuseIfDecryptedCopy(
                item.newPath, m_store.folders().FindRegisteredRoot(item.newPath, 0)) != 0) {
            return Result::Failed;
        }
    }
    InsideTransfer transfer(m_store, m_history);
    QStringList roots;
    // The files first, newest first; then the folders the move made, which are empty by then.
    for (qsizetype i = record.items.size() - 1; i >= 0; --i) {
        const UndoItem item = record.items.at(i);
        if (QFileInfo(item.newPath).isDir()) {
            continue;
        }
        if (!recreateParent(item.path)) {
            return Result::Failed;
        }
        if (ExistsAsEntry(item.path)) {
            // The former place is taken: a file being edited there is never replaced; another is
            // replaced only when the user says so twice.
            const bool inUse = m_store.copyGuard().WorkingCopyExists(item.path) == 0;
            if (inUse || !(Ask(169) && Ask(170))) {
                if (!Ask(inUse ? 171 : 172)) {
                    return Result::Failed;
                }
                continue;
            }
        }
        const int moved = transfer.TransferFile(true, item.newPath, item.path);
        if (moved != 0) {
            if (moved != -9) {
                ShowError(MsgA(168) + item.newPath);
            }
            return Result::Failed;
        }
        syncFolderOf(item.path);
        syncFolderOf(item.newPath);
        roots.append(m_store.folders().FindRegisteredRoot(item.newPath, 0));
        record.items.removeAt(i);
    }
    for (qsizetype i = record.items.size() - 1; i >= 0; --i) {
        const UndoItem item = record.items.at(i);
        if (!QFileInfo(item.newPath).isDir()) {
            continue;
        }
        QDir().mkpath(item.path);
        m_foldersChanged = true;
        QString error;
        if (DeleteFolderIfEmpty(item.newPath, &error) != 0 && ExistsAsEntry(item.newPath)) {
            // Something was put there since the move: the folder stays, and so does the item.
            continue;
        }
        syncFolderOf(item.path);
        syncFolderOf(item.newPath);
        roots.append(m_store.folders().FindRegisteredRoot(item.newPath, 0));
        record.items.removeAt(i);
    }
    roots.removeDuplicates();
    for (const QString& root : std::as_const(roots)) {
        m_store.metadata().PruneMetadataFolders(root);
    }
    return Result::Ok;
}

int UndoRevert::revertRename(UndoRecord& record)
{
    const UndoItem item = record.items.first();
    if (!ExistsAsEntry(item.newPath)) {
        ShowMessage(MsgA(181), MessageStyle::warning());
        return Result::Failed;
    }
    const bool folder = QFileInfo(item.newPath).isDir();
    const QString oldName = folder ? QFileInfo(item.path).fileName() : item.name;
    if (RenameEntry(m_store).Run(item.newPath, oldName) != 0) {
        return Result::Failed;
    }
    m_foldersChanged = folder;
    record.items.clear();
    return Result::Ok;
}
