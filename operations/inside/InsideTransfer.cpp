#include "operations/inside/InsideTransfer.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "operations/common/StoreEntries.h"
#include "operations/inside/TransferHelpers.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/StoreAreas.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/PathText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/WipeDelete.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace TransferHelpers;

namespace {

constexpr int EncryptedEntry = 1;

} // namespace

QString InsideTransfer::displayNameOf(const QString& path)
{
    QString name;
    m_store.checks().DisplayNameOf(path, m_store.folders().FindRegisteredRoot(path, 0), &name);
    return name;
}

QString InsideTransfer::targetFor(const QString& folder, const QString& displayName, bool* collision)
{
    *collision = false;
    const QString root = m_store.folders().FindRegisteredRoot(folder, 0);
    QString existing;
    int kind = 0;
    if (m_store.metadata().ResolveDisplayName(folder, displayName, root, &existing, &kind) == 0 &&
        kind == EncryptedEntry) {
        *collision = true;
        return existing;
    }
    QString fresh;
    if (ContainerName(folder, &fresh) != 0) {
        return QString();
    }
    return folder + QLatin1Char('/') + fresh;
}

int InsideTransfer::checkTransferTarget(const QString& source, const QString& target, bool move, bool folder)
{
    int kind = PathsUnrelated;
    PathRelation(folder ? source : ParentOf(source), target, &kind);
    int message = 0;
    if (folder) {
        message = kind == PathsSame            ? 312
                  : kind == TargetHoldsSource  ? 313
                  : kind == TargetInsideSource ? 314
                                               : 0;
    } else if (kind == PathsSame) {
        message = 315;
    }
    if (message == 0) {
        return Result::Ok;
    }
    const QString name = folder ? NameOf(source) : displayNameOf(source);
    ShowError(name + QStringLiteral(" を") + (move ? QStringLiteral("移動") : QStringLiteral("コピー")) +
              MsgA(message));
    return Result::Failed;
}

int InsideTransfer::InsidePaste(const InsideClipboard& clipboard, const QString& target)
{
    m_foldersInvolved = false;
    if (clipboard.isEmpty()) {
        return Result::Failed;
    }
    for (const QString& item : clipboard.paths) {
        const EntryType type = EntryTypeOf(item);
        if (type != EntryType::File && type != EntryType::Folder) {
            ShowError(MsgA(103));
            return Result::Failed;
        }
    }
    for (const QString& item : clipboard.paths) {
        QString failing;
        if (EntryTypeOf(item) == EntryType::Folder && RefuseNameNotText(item)) {
            return Result::Failed;
        }
        if (EntryTypeOf(item) == EntryType::Folder &&
            m_store.checks().AllContainersReadable(item, m_store.folders().FindRegisteredRoot(item, 0),
                                                   &failing) != 0) {
            ShowMessage(MsgA(104) + failing, MessageStyle::warning());
            return Result::Failed;
        }
    }
    for (const QString& item : clipboard.paths) {
        QCoreApplication::processEvents();
        if (m_store.copyGuard().RefuseIfDecryptedCopy(item, m_store.folders().FindRegisteredRoot(item, 0)) !=
            0) {
            return Result::Failed;
        }
        m_foldersInvolved = m_foldersInvolved || EntryTypeOf(item) == EntryType::Folder;
    }
    if (QDir::cleanPath(clipboard.sourceFolder) != QDir::cleanPath(target)) {
        return TransferItems(clipboard.cut, clipboard.paths, target, true);
    }
    // Into the folder they came from: a cut has nothing to do; a copy makes duplicates.
    return clipboard.cut ? Result::Ok : duplicateInPlace(clipboard.paths, target);
}

int InsideTransfer::duplicateInPlace(const QStringList& items, const QString& target)
{
    MainWindowServices& services = MainWindowServices::instance();
    const QString root = m_store.folders().FindRegisteredRoot(target, 0);
    UndoRecord record;
    record.kind = UndoRecord::Copy;
    int result = Result::Ok;
    for (const QString& item : items) {
        if (EntryTypeOf(item) == EntryType::Folder) {
            const QString copy = target + QLatin1Char('/') + CopyName(target, NameOf(item));
            const int copied = transferFolder(false, item, copy, &record);
            services.ClearBusyText();
            if (copied == Stopped) {
                break;
            }
            if (copied != 0) {
                result = Result::Failed;
                break;
            }
            continue;
        }
        const QString shown = displayNameOf(item);
        QString name;
        QString fresh;
        if (m_store.metadata().MakeCopyDisplayName(target, shown, root, &name) != 0 ||
            ContainerName(target, &fresh) != 0) {
            result = Result::Failed;
            break;
        }
        const QString copy = target + QLatin1Char('/') + fresh;
        services.SetBusyText(shown);
        if (m_store.crypt().RenameContainer(item, copy, name, root, false) != 0) {
            services.ClearBusyText();
            result = Result::Failed;
            break;
        }
        services.ClearBusyText();
        MakeReadOnly(copy);
        record.items.append({copy, QString(), QString(), name, QString()});
        // The metadata learns the new name before the next copy looks for a free one.
        m_store.metadata().SyncFolderMetadata(target, root);
        if (services.CancelRequested()) {
            ShowMessage(MsgA(105), MessageStyle::information());
            break;
        }
    }
    m_store.metadata().SyncFolderMetadata(target, root);
    m_history.Record(std::move(record));
    return result;
}

InsideTransfer::Step InsideTransfer::askCollision(const OverwriteQuestion& question, bool* replaceAll)
{
    const OverwriteAnswer answer = AskOverwriteOnce(question, replaceAll);
    return answer == OverwriteYes ? Step::Done : answer == OverwriteNo ? Step::Skipped : Step::Ended;
}

InsideTransfer::Step InsideTransfer::transferItem(bool move, const QString& item, const QString& target,
                                                  UndoRecord* done)
{
    const EntryType type = EntryTypeOf(item);
    if (type != EntryType::Folder && type != EntryType::File) {
        ShowError(MsgA(53) + item);
        return Step::Failed;
    }
    const bool isFolder = type == EntryType::Folder;
    if (checkTransferTarget(item, target, move, isFolder) != 0) {
        return Step::Failed;
    }
    OverwriteQuestion question;
    question.single = false;
    question.newPath = item;
    int moved = Result::Failed;
    if (isFolder) {
        const bool targetExists = QFileInfo(target).isDir();
        const QString folder = targetExists ? target + QLatin1Char('/') + NameOf(item) : target;
        if (targetExists && QFileInfo(folder).isDir()) {
            question.folder = true;
            question.displayName = NameOf(item);
            if (const Step answer = askCollision(question, &m_replaceAllFolders); answer != Step::Done) {
                return answer;
            }
        }
        moved = transferFolder(move, item, folder, done);
    } else {
        const QString shown = displayNameOf(item);
        bool collision = false;
        const QString existing = targetFor(target, shown, &collision);
        if (existing.isEmpty()) {
            return Step::Failed;
        }
        MainWindowServices::instance().SetBusyText(shown);
        if (collision) {
            question.displayName = shown;
            question.existingPath = existing;
            question.existingIsContainer = true;
            question.newIsContainer = true;
            question.existingSlot = m_store.folders().FindRegisteredRoot(existing, 0);
            question.newSlot = m_store.folders().FindRegisteredRoot(item, 0);
            if (const Step answer = askCollision(question, &m_replaceAllFiles); answer != Step::Done) {
                return answer;
            }
        }
        moved = transferOneFile(move, item, existing, done);
    }
    return moved == Stopped ? Step::Ended : moved != 0 ? Step::Failed : Step::Done;
}

int InsideTransfer::TransferItems(bool move, const QStringList& items, const QString& target, bool record)
{
    m_replaceAllFiles = false;
    m_replaceAllFolders = false;
    UndoRecord done;
    done.kind = move ? UndoRecord::Move : UndoRecord::Copy;
    QSet<QString> sourceFolders;
    int result = Result::Ok;
    for (const QString& item : items) {
        const Step step = transferItem(move, item, target, &done);
        if (step == Step::Failed) {
            result = Result::Failed;
        }
        if (step == Step::Failed || step == Step::Ended) {
            break;
        }
        if (step == Step::Done) {
            sourceFolders.insert(ParentOf(item));
        }
    }
    MainWindowServices::instance().ClearBusyText();
    // Both ends show what happened at once, whatever ended the loop.
    if (QFileInfo(target).isDir()) {
        m_store.metadata().SyncFolderMetadata(target, m_store.folders().FindRegisteredRoot(target, 0));
    }
    if (move) {
        for (const QString& folder : std::as_const(sourceFolders)) {
            if (QFileInfo(folder).isDir()) {
                m_store.metadata().SyncFolderMetadata(folder,
                                                      m_store.folders().FindRegisteredRoot(folder, 0));
            }
        }
    }
    // What was done is recorded even when a later item failed: it can be reverted like the rest.
    if (record) {
        m_history.Record(std::move(done));
    }
    return result;
}

int InsideTransfer::DragTransfer(bool move, const QStringList& dragged, const QString& target)
{
    m_foldersInvolved = false;
    const QString targetRoot = m_store.folders().FindRegisteredRoot(target, 0);
    if (m_store.metadata().SyncFolderMetadata(target, targetRoot) != 0) {
        return Result::Failed;
    }
    for (const QString& item : dragged) {
        QCoreApplication::processEvents();
        if (move && m_store.folders().IsReadOnlyFolder(item, 1) != 0) {
            return Result::Failed;
        }
        const QString root = m_store.folders().FindRegisteredRoot(item, 0);
        const EntryType type = EntryTypeOf(item);
        if (type == EntryType::Folder) {
            m_foldersInvolved = true;
            if (RefuseNameNotText(item)) {
                return Result::Failed;
            }
            QString failing;
            if (m_store.checks().AllContainersReadable(item, root, &failing) != 0) {
                ShowMessage(MsgA(50) + failing, MessageStyle::warning());
                return Result::Failed;
            }
            if (HasEntriesLeft(m_store.copyPaths().WorkingCopyPathOf(item))) {
                ShowMessage(MsgA(51) + item, MessageStyle::warning());
                return Result::Failed;
            }
            const QString existing = target + QLatin1Char('/') + NameOf(item);
            if (QFileInfo(existing).isDir() &&
                HasEntriesLeft(m_store.copyPaths().WorkingCopyPathOf(existing))) {
                ShowMessage(MsgA(52) + existing, MessageStyle::warning());
                return Result::Failed;
            }
            continue;
        }
        if (type != EntryType::File) {
            ShowError(MsgA(53) + item);
            return Result::Failed;
        }
        if (m_store.checks().IsReadableContainer(item, root) != 0) {
            ShowMessage(MsgA(54) + item, MessageStyle::warning());
            return Result::Failed;
        }
        const QString shown = displayNameOf(item);
        if (m_store.copyGuard().WorkingCopyExists(item) == 0) {
            ShowMessage(MsgA(55) + ParentOf(item) + QLatin1Char('/') + shown, MessageStyle::warning());
            return Result::Failed;
        }
        QString existing;
        int kind = 0;
        if (m_store.metadata().ResolveDisplayName(target, shown, targetRoot, &existing, &kind) == 0 &&
            kind == EncryptedEntry && m_store.copyGuard().WorkingCopyExists(existing) == 0) {
            ShowMessage(MsgA(56) + target + QLatin1Char('/') + shown, MessageStyle::warning());
            return Result::Failed;
        }
    }
    const int result = TransferItems(move, dragged, target, true);
    MainWindowServices::instance().ClearBusyText();
    if (!dragged.isEmpty()) {
        QString scratch;
        if (m_store.areas().ScratchAreaOf(dragged.last(), &scratch) == 0 && QFileInfo(scratch).isDir()) {
            WipeDelete(scratch, true);
        }
    }
    if (m_store.metadata().SyncFolderMetadata(target, targetRoot) != 0) {
        return Result::Failed;
    }
    return result;
}
