#include "operations/inside/RenameEntry.h"

#include "engine/ContainerCrypt.h"
#include "operations/inside/UndoHistory.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/FolderAccessCheck.h"
#include "store/checks/PathChecks.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/ResultCodes.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>

int RenameEntry::Run(const QString& path, const QString& newName, UndoHistory* history)
{
    RegisteredFolderTable& folders = m_store.folders();
    const QString root = folders.FindRegisteredRoot(path, 1);
    if (root.isEmpty() || folders.IsReadOnlyFolder(path, 1) != 0) {
        return Result::Failed;
    }
    const bool folder = DirectoryExists(path) == 0;
    if (!folder && FileExists(path) != 0) {
        ShowMessage(MsgA(34), MessageStyle::warning());
        return Result::Failed;
    }
    QString refusal;
    if (CheckFolderAccess(path, 1, &refusal) != 0 || IsValidItemName(newName) != 0) {
        return Result::Failed;
    }
    QString oldName;
    m_store.checks().DisplayNameOf(path, root, &oldName);
    const int result = folder ? renameFolder(path, newName, root) : renameContainer(path, newName, root);
    if (result == 0 && history) {
        // A container keeps its file name; a folder is now under its new name.
        const QString newPath = folder ? QFileInfo(path).path() + QLatin1Char('/') + newName : path;
        UndoRecord record;
        record.kind = UndoRecord::Rename;
        record.items.append({path, newPath, QString(), oldName, newName});
        history->Record(std::move(record));
    }
    return result;
}

int RenameEntry::renameContainer(const QString& path, const QString& newName, const QString& root)
{
    const QString copy = m_store.copyPaths().WorkingCopyPathOf(path);
    if (FileExists(copy) == 0) {
        ShowMessage(MsgA(39), MessageStyle::warning());
        return Result::Failed;
    }
    if (m_store.checks().IsReadableContainer(path, root) != 0) {
        ShowMessage(MsgA(38), MessageStyle::error());
        return Result::Failed;
    }
    const QDateTime before = QFileInfo(path).lastModified();
    // The container is rewritten beside itself and replaces itself only once the copy is whole.
    if (m_store.crypt().RenameContainer(path, path, newName, root, true) != 0) {
        ShowMessage(MsgA(40), MessageStyle::error());
        return Result::Failed;
    }
    QString detail;
    // The metadata knows an entry by its name and its last-write time to the second: a container
    // rewritten within the second it was last written would keep its old record.
    const qint64 beforeSecond = before.toSecsSinceEpoch();
    if (QFileInfo(path).lastModified().toSecsSinceEpoch() == beforeSecond &&
        SetModifiedTime(path, QDateTime::fromSecsSinceEpoch(beforeSecond + 1), &detail) != 0) {
        ShowMessage(MsgA(41) + detail, MessageStyle::error());
        return Result::Failed;
    }
    if (SetAttributeBits(path, FileAttribute::ReadOnly, false, &detail) != 0) {
        ShowMessage(MsgA(41) + detail, MessageStyle::error());
        return Result::Failed;
    }
    if (m_store.metadata().SyncFolderMetadata(DirectoryPart(path), root) != 0) {
        ShowMessage(MsgA(42), MessageStyle::error());
        return Result::Failed;
    }
    return Result::Ok;
}

int RenameEntry::renameFolder(const QString& path, const QString& newName, const QString& root)
{
    if (decryptedCopyBelow(path)) {
        ShowMessage(MsgA(37), MessageStyle::warning());
        return Result::Failed;
    }
    const QString parent = DirectoryPart(path);
    QString detail;
    if (MovePath(path, parent + QLatin1Char('/') + newName, &detail) != 0) {
        ShowMessage(MsgA(35) + detail, MessageStyle::error());
        return Result::Failed;
    }
    if (m_store.metadata().SyncFolderMetadata(parent, root) != 0) {
        ShowMessage(MsgA(36), MessageStyle::error());
        return Result::Failed;
    }
    return Result::Ok;
}

bool RenameEntry::decryptedCopyBelow(const QString& folder) const
{
    const QString copies = m_store.copyPaths().WorkingCopyPathOf(folder);
    if (DirectoryExists(copies) != 0) {
        return false;
    }
    QDirIterator files(copies, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    return files.hasNext();
}
