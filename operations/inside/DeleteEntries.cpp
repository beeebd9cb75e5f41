#include "operations/inside/DeleteEntries.h"

#include "operations/common/StoreEntries.h"
#include "operations/inside/UndoHistory.h"
#include "operations/open/OpenFiles.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/checks/FolderAccessCheck.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/ShellOperations.h"

#include <QFileInfo>
#include <QSet>

bool DeleteEntries::confirm(const QStringList& items, Asker asker) const
{
    QString text;
    if (asker == Asker::FolderTree) {
        text = (m_permanent ? MsgA(257) : MsgA(256)) + QFileInfo(items.first()).fileName();
    } else if (items.size() == 1) {
        QString name;
        m_store.checks().DisplayNameOf(items.first(), m_store.folders().FindRegisteredRoot(items.first(), 0),
                                       &name);
        text = QStringLiteral("'") + name + (m_permanent ? MsgA(2) : MsgA(1));
    } else {
        text = QString::number(items.size()) + (m_permanent ? MsgA(45) : MsgA(44));
    }
    return ShowMessage(text, MessageStyle::question()) == MsgButton::Yes;
}

int DeleteEntries::Run(const QStringList& items, const QString& folder, bool permanent, Asker asker)
{
    m_permanent = permanent;
    m_foldersDeleted = false;
    if (items.isEmpty() || m_store.folders().IsReadOnlyFolder(folder, 1) != 0) {
        return Result::Failed;
    }
    for (const QString& item : items) {
        QString text;
        if (CheckFolderAccess(item, 1, &text) != 0) {
            return Result::Failed;
        }
    }
    if (OpenFiles(m_store).RefuseIfDecrypted(items) != 0) {
        return Result::Failed;
    }
    if (Platform::instance().DriveTypeOf(folder) != DriveFixed) {
        m_permanent = true; // no Trash there
    }
    if (!confirm(items, asker)) {
        return Result::Failed;
    }
    // Looked at again after the question: a copy may have been made while it was open.
    for (const QString& item : items) {
        if (QFileInfo(item).isDir()) {
            if (HasEntriesLeft(m_store.copyPaths().WorkingCopyPathOf(item))) {
                ShowMessage(MsgA(46) + item, MessageStyle::warning());
                return Result::Failed;
            }
        } else if (m_store.copyGuard().WorkingCopyExists(item) == 0) {
            ShowMessage(MsgA(47) + item, MessageStyle::warning());
            return Result::Failed;
        }
    }
    UndoRecord record;
    record.kind = UndoRecord::Delete;
    QSet<QString> parents;
    int result = Result::Ok;
    if (m_permanent) {
        for (const QString& item : items) {
            m_foldersDeleted = m_foldersDeleted || QFileInfo(item).isDir();
            parents.insert(QFileInfo(item).path());
        }
        if (ShellDelete(items) != 0) {
            ShowError(MsgA(49));
            result = Result::Failed;
        }
    } else {
        for (const QString& item : items) {
            QString name;
            const bool isFolder = QFileInfo(item).isDir();
            m_store.checks().DisplayNameOf(item, m_store.folders().FindRegisteredRoot(item, 0), &name);
            QString trashed;
            QString error;
            if (!Platform::instance().MoveToTrash(item, &trashed, &error)) {
                ShowError(MsgA(48) + (error.isEmpty() ? QString() : QStringLiteral("\n\n") + error));
                result = Result::Failed;
                break;
            }
            m_foldersDeleted = m_foldersDeleted || isFolder;
            parents.insert(QFileInfo(item).path());
            record.items.append({item, QString(), trashed, name, QString()});
        }
    }
    for (const QString& parent : std::as_const(parents)) {
        const QString root = m_store.folders().FindRegisteredRoot(parent, 0);
        m_store.metadata().SyncFolderMetadata(parent, root);
        if (m_foldersDeleted) {
            m_store.metadata().PruneMetadataFolders(root);
        }
    }
    m_history.Record(std::move(record));
    return result;
}
