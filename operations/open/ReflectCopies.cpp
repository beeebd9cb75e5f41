#include "operations/open/ReflectCopies.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "operations/common/StoreEntries.h"
#include "operations/open/ProgramMonitor.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/AreaFolders.h"
#include "store/working/WorkingAreaNames.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/WipeDelete.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
    }
    files.sort();
    return files;
}

// A plain copy is overwritten with zeros before its name goes, so that nothing that still holds
// it open, nor the disk's free space, keeps its content.
int wipeCopy(const QString& copy, QString* error)
{
    QString text;
    const int rc = WipeDelete(copy, false, &text);
    if (error) {
        *error = text.trimmed();
    }
    return rc;
}

} // namespace

bool ReflectCopies::IsChanged(const QString& copy, const QString& container)
{
    if (container.isEmpty()) {
        return true;
    }
    const QFileInfo a(copy);
    const QFileInfo b(container);
    if (!a.exists() || !b.exists()) {
        return true;
    }
    return a.lastModified().toSecsSinceEpoch() != b.lastModified().toSecsSinceEpoch();
}

int ReflectCopies::erase(const QString& copy, int failureMessage)
{
    MainWindowServices& services = MainWindowServices::instance();
    services.SetBusyText(MsgA(636));
    QString error;
    const int wiped = wipeCopy(copy, &error);
    services.ClearBusyText();
    if (wiped != 0) {
        ShowError(MsgA(failureMessage) + error + QLatin1Char('\n') + copy);
        return Result::Failed;
    }
    return Result::Ok;
}

int ReflectCopies::OnWatchedProgramEnded(const QString& copy)
{
    WaitPumping(50);
    if (!QFileInfo(copy).isFile()) {
        return Result::Ok;
    }
    QString proposal;
    QString container = m_store.copyPaths().ContainerPathOf(copy, true, &proposal);
    if (MetadataLocation::IsNoLocation(container)) {
        return Result::Failed;
    }
    RegisteredFolderTable& table = m_store.folders();
    const QString target = container.isEmpty() ? proposal : container;
    const QString root = table.FindRegisteredRoot(target, 0);
    const bool readOnly = table.IsReadOnlyFolder(target, 0) != 0;
    if (!root.isEmpty() && !QFileInfo(QFileInfo(target).path()).isDir()) {
        if (!readOnly) {
            ShowMessage(MsgA(28) + QFileInfo(target).path(), MessageStyle::warning());
        }
        return Result::Failed;
    }
    if (IsChanged(copy, container)) {
        if (readOnly) {
            ShowMessage(MsgA(31) + MsgA(30) + copy, MessageStyle::warning());
            return erase(copy, 32);
        }
        MainWindowServices& services = MainWindowServices::instance();
        services.SetBusyText(MsgA(637));
        const int result =
            ReflectFile(copy, target, root, container.isEmpty() ? NewContainer : Existing, true, true);
        services.ClearBusyText();
        return result;
    }
    if (erase(copy, 29) != 0) {
        return Result::Failed;
    }
    if (!readOnly) {
        SetAttributeBits(container, FileAttribute::ReadOnly, false);
    }
    return Result::Ok;
}

int ReflectCopies::ReflectFile(const QString& copy, const QString& container, const QString& root, Mode mode,
                               bool announce, bool ask)
{
    const QString name = QFileInfo(copy).fileName();
    bool write = true;
    if (mode == Existing) {
        if (!QFileInfo::exists(container)) {
            write = !announce || ShowMessage(MsgA(16) + QStringLiteral("’ ") + name,
                                             MessageStyle::question()) == MsgButton::Yes;
        } else if (!IsChanged(copy, container)) {
            SetAttributeBits(container, FileAttribute::ReadOnly, false);
            write = false;
        } else {
            quint32 bits = 0;
            if (FileAttributeBits(container, &bits) != 0) {
                ShowError(MsgA(332) + container);
                return Result::Failed;
            }
            if (bits & FileAttribute::ReadOnly) {
                if (ask) {
                    int driveType = 0;
                    m_store.folders().RegisteredDriveTypeOf(container, &driveType);
                    const int question = driveType == DriveRemote ? 639 : 15;
                    write = ShowMessage(MsgA(question) + QStringLiteral("’ ") + name,
                                        MessageStyle::question()) == MsgButton::Yes;
                }
                if (write && SetAttributeBits(container, FileAttribute::ReadOnly, true) != 0) {
                    return Result::Failed;
                }
            }
        }
    } else {
        const QString folder = QFileInfo(container).path();
        QString error;
        if (!QFileInfo(folder).isDir() && CreateDirectoryTree(folder, &error) != 0) {
            ShowError(MsgA(17) + folder + QStringLiteral("　\n\n") + container);
            return Result::Failed;
        }
    }
    if (write) {
        if (m_store.crypt().EncryptIntoFolder(copy, container, root) != 0) {
            return Result::Failed; // the copy stays: nothing is lost
        }
        if (SetAttributeBits(container, FileAttribute::ReadOnly, false) != 0) {
            return Result::Failed;
        }
        m_store.metadata().SyncFolderMetadata(QFileInfo(container).path(), root);
        if (announce) {
            ShowMessage(MsgA(18) + copy, MessageStyle::information());
        }
    }
    QString error;
    if (wipeCopy(copy, &error) != 0) {
        ShowError(MsgA(19) + error + QLatin1Char('\n') + copy);
        return Result::Failed;
    }
    return Result::Ok;
}

int ReflectCopies::heldOpen(const QStringList& copies, int message)
{
    for (const QString& copy : copies) {
        // A program that still runs on its copy may save into it again, even without holding it.
        const QString program = ProgramMonitor::ProgramRunningOn(copy);
        if (!program.isEmpty() || Platform::instance().IsOpenByOtherProcess(copy)) {
            ShowMessage(MsgA(message) + QStringLiteral("’ ") + QFileInfo(copy).fileName() +
                            (program.isEmpty() ? QString() : QStringLiteral("（%1）").arg(program)),
                        MessageStyle::warning());
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int ReflectCopies::ReflectAll(const QString& root, bool silent)
{
    if (!silent && ShowSettingNotice(&m_store.settings().ReturnAngoMsgFlg, MsgA(10), MsgA(11)) != 0) {
        return Result::Failed;
    }
    const QString store = m_store.folders().StoreFolderOf(root, 0);
    if (MetadataLocation::IsNoLocation(store) || store.isEmpty()) {
        return Result::Ok;
    }
    const QString area = store + QLatin1Char('/') + WorkingArea::WorkingCopies;
    if (!QFileInfo(area).isDir()) {
        return Result::Ok;
    }
    if (heldOpen(FilesBelow(area), 12) != 0) {
        return Result::Failed;
    }
    reflectTree(area, root, root);
    if (!FilesBelow(area).isEmpty()) {
        ShowError(MsgA(13));
        return Result::Failed;
    }
    // The folders the copies stood in go too; the area itself stays.
    const QFileInfoList folders = QDir(area).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : folders) {
        WipeArea(folder.filePath(), true);
    }
    return Result::Ok;
}

int ReflectCopies::reflectTree(const QString& area, const QString& folder, const QString& root)
{
    QString error;
    if (!QFileInfo(folder).isDir() && CreateDirectoryTree(folder, &error) != 0) {
        ShowError(MsgA(14) + folder);
        return Result::Failed;
    }
    const QFileInfoList entries = QDir(area).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        QCoreApplication::processEvents();
        if (entry.isDir()) {
            if (reflectTree(entry.filePath(), folder + QLatin1Char('/') + entry.fileName(), root) != 0) {
                return Result::Failed;
            }
            continue;
        }
        QString container;
        int kind = 0;
        int result = Result::Failed;
        if (m_store.metadata().ResolveDisplayName(folder, entry.fileName(), root, &container, &kind) == 0 &&
            kind == 1) {
            result = ReflectFile(entry.filePath(), container, root, Existing, true, true);
        } else {
            QString name;
            if (ContainerName(folder, &name) != 0) {
                return Result::Failed;
            }
            result = ReflectFile(entry.filePath(), folder + QLatin1Char('/') + name, root, NewContainer, true,
                                 true);
        }
        if (result != 0) {
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int ReflectCopies::ReflectSelected(const QStringList& copies)
{
    if (heldOpen(copies, 102) != 0) {
        return Result::Failed;
    }
    for (const QString& copy : copies) {
        if (!QFileInfo(copy).isFile()) {
            continue;
        }
        QString proposal;
        const QString container = m_store.copyPaths().ContainerPathOf(copy, true, &proposal);
        if (MetadataLocation::IsNoLocation(container)) {
            return Result::Failed;
        }
        const QString target = container.isEmpty() ? proposal : container;
        const QString root = m_store.folders().FindRegisteredRoot(target, 0);
        if (ReflectFile(copy, target, root, container.isEmpty() ? NewContainer : Existing, true, true) != 0) {
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int ReflectCopies::EraseSelected(const QStringList& copies)
{
    if (ShowMessage(MsgA(139), MessageStyle::question()) != MsgButton::Yes || heldOpen(copies, 102) != 0) {
        return Result::Failed;
    }
    int result = Result::Ok;
    for (const QString& copy : copies) {
        QString proposal;
        const QString container = m_store.copyPaths().ContainerPathOf(copy, true, &proposal);
        if (!container.isEmpty() && !MetadataLocation::IsNoLocation(container)) {
            SetAttributeBits(container, FileAttribute::ReadOnly, false);
        }
        if (wipeCopy(copy, nullptr) != 0) {
            ShowError(MsgA(140) + QStringLiteral("\n\n") + copy);
            result = Result::Failed;
        }
    }
    return result;
}
