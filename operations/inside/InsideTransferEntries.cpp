// One entry of a transfer: a container renamed or copied within its registered folder or
// re-encrypted into another, and a folder with everything below it.

#include "engine/ContainerCrypt.h"
#include "operations/common/StoreEntries.h"
#include "operations/inside/InsideTransfer.h"
#include "operations/inside/TransferHelpers.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/StoreAreas.h"
#include "util/ErrorText.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/FileReplace.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/NamingRules.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/WipeDelete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

using namespace TransferHelpers;

namespace {

constexpr qint64 ScratchMargin = 4096;

qint64 SizeOf(const QString& path)
{
    return QFileInfo(path).size();
}

// A plain scratch copy never outlives the step that needed it.
struct ScratchCopy
{
    QString path;
    ~ScratchCopy()
    {
        if (!path.isEmpty() && ExistsAsEntry(path)) {
            WipeDelete(path, false);
        }
    }
};

} // namespace

int InsideTransfer::transferOneFile(bool move, const QString& source, const QString& target,
                                    UndoRecord* record)
{
    // A container whose decrypted copy is out is never replaced: the copy would be written back
    // over what was moved in.
    if (ExistsAsEntry(target) && m_store.copyGuard().WorkingCopyExists(target) == 0) {
        ShowMessage(MsgA(56) + ParentOf(target) + QLatin1Char('/') + displayNameOf(target),
                    MessageStyle::warning());
        return Result::Failed;
    }
    const QString shown = displayNameOf(source);
    const int result = TransferFile(move, source, target);
    if (result == 0 && record) {
        if (move) {
            record->items.append({source, target, QString(), shown, QString()});
        } else {
            record->items.append({target, QString(), QString(), shown, QString()});
        }
    }
    return result;
}

int InsideTransfer::TransferFile(bool move, const QString& source, const QString& target)
{
    if (MainWindowServices::instance().CancelRequested()) {
        ShowMessage(MsgA(107), MessageStyle::information());
        return Stopped;
    }
    const QString sourceRoot = m_store.folders().FindRegisteredRoot(source, 0);
    const QString targetRoot = m_store.folders().FindRegisteredRoot(target, 0);
    const bool sameFolder = m_store.folders().SameRegisteredFolder(source, target) == 0 &&
                            QDir::cleanPath(sourceRoot) == QDir::cleanPath(targetRoot);
    const qint64 size = SizeOf(source);
    if (move) {
        if (sameFolder) {
            // The container itself goes: the rename replaces an existing target in one step.
            int failed = RenameInto(source, target, true);
            if (failed == EXDEV) {
                QString error;
                if (CopyContainer(source, target, &error) != 0) {
                    ShowError(MsgA(110) + error + QStringLiteral("\n") + source);
                    return Result::Failed;
                }
                if (SizeOf(target) != size || m_store.crypt().CompareFileTails(target, source, true) != 0) {
                    ShowError(MsgA(110) + source);
                    return Result::Failed;
                }
                failed = QFile::remove(source) ? 0 : EIO;
            }
            if (failed != 0) {
                ShowError(MsgA(113) + ErrnoText(failed) + QStringLiteral("　\n") + source);
                return Result::Failed;
            }
            if (SizeOf(target) != size) {
                ShowError(MsgA(110) + source);
                return Result::Failed;
            }
            return Result::Ok;
        }
        if (copyAcrossFolders(source, target, sourceRoot, targetRoot) != 0) {
            return Result::Failed;
        }
        QFile file(source);
        if (!file.remove()) {
            ShowError(MsgA(112) + file.errorString() + QStringLiteral("\n") + source);
            return Result::Failed;
        }
        return Result::Ok;
    }
    if (sameFolder) {
        QString error;
        if (CopyContainer(source, target, &error) != 0) {
            ShowError(MsgA(108) + error + QStringLiteral("\n") + source);
            return Result::Failed;
        }
    } else if (copyAcrossFolders(source, target, sourceRoot, targetRoot) != 0) {
        return Result::Failed;
    }
    MakeReadOnly(target);
    if (sameFolder) {
        if (SizeOf(target) != size) {
            ShowError(MsgA(108) + source);
            return Result::Failed;
        }
        if (m_store.crypt().CompareFileTails(target, source, true) != 0) {
            ShowError(MsgA(109) + source);
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int InsideTransfer::copyAcrossFolders(const QString& source, const QString& target, const QString& sourceRoot,
                                      const QString& targetRoot)
{
    if (!ExistsAsEntry(source)) {
        return Result::Ok;
    }
    QString scratch;
    if (m_store.areas().ScratchAreaOf(source, &scratch) != 0) {
        return Result::Failed;
    }
    const QString folder = scratch + QStringLiteral("/C");
    if (!QDir().mkpath(folder)) {
        ShowError(MsgA(114) + QStringLiteral("　\n") + folder);
        return Result::Failed;
    }
    qint64 free = 0;
    if (FreeSpace(folder, &free) == 0 && free < SizeOf(source) + ScratchMargin) {
        const bool inWorkingFolder = folder.startsWith(m_store.workingFolder() + QLatin1Char('/'));
        ShowError(MsgA(inWorkingFolder ? 310 : 311));
        return Result::Failed;
    }
    ScratchCopy plain{folder + QLatin1Char('/') + displayNameOf(source)};
    if (m_store.crypt().DecryptToFile(source, plain.path, sourceRoot) != 0) {
        return Result::Failed;
    }
    // The engine writes beside the target, verifies and only then renames over it.
    if (ExistsAsEntry(target)) {
        SetAttributeBits(target, FileAttribute::ReadOnly, true);
    }
    if (m_store.crypt().EncryptIntoFolder(plain.path, target, targetRoot) != 0) {
        if (ExistsAsEntry(target)) {
            MakeReadOnly(target);
        }
        return Result::Failed;
    }
    MakeReadOnly(target);
    return Result::Ok;
}

int InsideTransfer::transferFolder(bool move, const QString& source, const QString& target,
                                   UndoRecord* record)
{
    // Checked again here, as not every way in checks first: a moved folder must never leave such
    // a file behind unnoticed.
    if (RefuseNameNotText(source)) {
        return Result::Failed;
    }
    const int walked = transferFolderTree(move, source, target, record);
    if (walked == Result::Failed) {
        return Result::Failed;
    }
    if (m_store.metadata().SyncFolderMetadata(target, m_store.folders().FindRegisteredRoot(target, 0)) != 0) {
        return Result::Failed;
    }
    if (walked == Stopped) {
        return Stopped;
    }
    if (move) {
        QString error;
        if (DeleteFolderIfEmpty(source, &error) != 0) {
            ShowError(MsgA(113) + error + QStringLiteral("　\n") + source);
            return Result::Failed;
        }
        m_store.metadata().PruneMetadataFolders(m_store.folders().FindRegisteredRoot(source, 0));
    }
    return Result::Ok;
}

int InsideTransfer::transferFolderTree(bool move, const QString& source, const QString& target,
                                       UndoRecord* record)
{
    const QString targetRoot = m_store.folders().FindRegisteredRoot(target, 0);
    bool created = false;
    if (!QFileInfo(target).isDir()) {
        if (!QDir().mkpath(target)) {
            ShowError(MsgA(114) + ErrnoText(errno) + QStringLiteral("　\n") + target);
            return Result::Failed;
        }
        created = true;
    }
    if (m_store.metadata().SyncFolderMetadata(target, targetRoot) != 0) {
        return Result::Failed;
    }
    if (created && move && record) {
        record->items.append({source, target, QString(), NameOf(source), QString()});
    }
    const QFileInfoList entries =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString from = entry.filePath();
        if (entry.isSymLink()) {
            continue; // never followed, never moved: the source folder keeps it
        }
        if (entry.isDir()) {
            const QString to = target + QLatin1Char('/') + entry.fileName();
            const int walked = transferFolderTree(move, from, to, record);
            if (walked == Result::Failed || m_store.metadata().SyncFolderMetadata(to, targetRoot) != 0) {
                return Result::Failed;
            }
            if (walked == Stopped) {
                return Stopped;
            }
            continue;
        }
        if (!entry.isFile()) {
            continue;
        }
        const QString shown = displayNameOf(from);
        bool collision = false;
        const QString to = targetFor(target, shown, &collision);
        if (to.isEmpty()) {
            return Result::Failed;
        }
        MainWindowServices::instance().SetBusyText(shown);
        const int moved = transferOneFile(move, from, to, record);
        if (moved != 0) {
            return moved;
        }
    }
    if (created && !move && record) {
        record->items.append({target, QString(), QString(), NameOf(target), QString()});
    }
    return Result::Ok;
}
