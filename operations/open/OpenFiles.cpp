#include "operations/open/OpenFiles.h"

#include "engine/ContainerCrypt.h"
#include "operations/common/StoreEntries.h"
#include "platform/AppAssociations.h"
#include "platform/ProgramLaunch.h"
#include "store/StoreContext.h"
#include "store/checks/FolderAccessCheck.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

bool IsLocation(const QString& path)
{
    return !path.isEmpty() && !MetadataLocation::IsNoLocation(path);
}

} // namespace

bool OpenFiles::IsViewerPicture(const QString& name)
{
    static const QStringList pictures = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                         QStringLiteral("png"), QStringLiteral("gif")};
    return pictures.contains(QFileInfo(name).suffix().toLower());
}

void OpenFiles::ShowOpenNotice()
{
    ShowSettingNotice(&m_store.settings().ProcEndMsgFlg, MsgA(132), MsgA(133));
}

int OpenFiles::OpenEncryptedFile(const Request& request)
{
    QCoreApplication::processEvents();
    RegisteredFolderTable& table = m_store.folders();
    const QString root = table.FindRegisteredRoot(request.path, 0);
    const bool readOnly = table.IsReadOnlyFolder(request.path, 0) != 0;
    QString text;
    if (CheckFolderAccess(request.path, 1, &text) != 0) {
        return Result::Failed;
    }
    ContainerInfo info;
    int status = NotAContainer;
    if (m_store.crypt().GetContainerStatus(request.path, root, &info, true, &status, &text) != 0) {
        return Result::Failed;
    }
    if (status != ContainerReadable) {
        ShowError(MsgA(3) + request.path);
        return Result::Failed;
    }
    if (takeOutOnly) {
        ShowError(MsgA(594));
        return Result::Failed;
    }
    if (request.launch && request.program.isEmpty() && !IsViewerPicture(info.plainName) &&
        DefaultProgramForExtension(QFileInfo(info.plainName).suffix()).isEmpty()) {
        ShowMessage(MsgA(4) + QStringLiteral(" '") + info.plainName, MessageStyle::warning());
        return Result::Failed;
    }
    const WorkingCopyPaths& paths = m_store.copyPaths();
    const QString copy =
        request.takeOutCopy ? paths.TakeOutCopyPathOf(request.path) : paths.WorkingCopyPathOf(request.path);
    if (!IsLocation(copy)) {
        return Result::Failed;
    }
    if (!QFileInfo(copy).isFile()) {
        const QString folder = QFileInfo(copy).path();
        QString error;
        if (!QFileInfo(folder).isDir() && CreateDirectoryTree(folder, &error, 0700) != 0) {
            ShowError(MsgA(5) + error + QStringLiteral("\n\n") + folder);
            return Result::Failed;
        }
        if (m_store.crypt().DecryptToFile(request.path, copy, root) != 0) {
            return Result::Failed;
        }
        if (request.copyTime) {
            const QDateTime time = QFileInfo(request.path).lastModified();
            if (!time.isValid()) {
                ShowError(MsgA(270) + copy);
                return Result::Failed;
            }
            if (SetModifiedTime(copy, time) != 0) {
                ShowError(MsgA(272) + copy);
                return Result::Failed;
            }
            if (readOnly && SetAttributeBits(copy, FileAttribute::ReadOnly, false) != 0) {
                ShowError(MsgA(275) + copy);
                return Result::Failed;
            }
        }
    } else if (ShowMessage(MsgA(6) + info.plainName, MessageStyle::question(MsgButton::No)) !=
               MsgButton::Yes) {
        return Result::Failed;
    }
    if (request.refresh && copiesChanged) {
        copiesChanged();
    }
    if (request.makeWritable && !readOnly && SetAttributeBits(copy, FileAttribute::ReadOnly, true) != 0) {
        ShowError(MsgA(275) + copy);
        return Result::Failed;
    }
    if (request.launch) {
        launch(copy, info.plainName, request.program);
    }
    return Result::Ok;
}

int OpenFiles::launch(const QString& copy, const QString& originalName, const QString& program)
{
    LaunchedProgram launched;
    QString error;
    int started = Result::Failed;
    if (!program.isEmpty()) {
        started = LaunchWithProgram(program, {copy}, &launched, &error);
    } else if (DefaultProgramForExtension(QFileInfo(originalName).suffix()).isEmpty() &&
               !imageViewer.isEmpty()) {
        // Pictures without a program of their own open in our viewer.
        started = LaunchWithProgram(imageViewer, {QStringLiteral("--view-image"), copy}, &launched, &error);
    } else {
        started = LaunchWithDefaultProgram(copy, &launched, &error);
    }
    if (started != 0) {
        ShowMessage(MsgA(7) + (error.isEmpty() ? QString() : QStringLiteral("\n\n") + error),
                    MessageStyle::warning());
        return Result::Failed;
    }
    if (m_store.settings().ExecProcEndWaitFlg == 1 && programStarted) {
        programStarted(copy, launched.pid, launched.program);
    }
    return Result::Ok;
}

int OpenFiles::DecryptSelection(const QStringList& paths, bool refresh, bool makeWritable, bool copyTime,
                                bool takeOutCopy)
{
    const WorkingCopyPaths& copies = m_store.copyPaths();
    int result = Result::Ok;
    for (const QString& path : paths) {
        if (QFileInfo(path).isFile()) {
            if (decryptFileOnly(path, makeWritable, copyTime, takeOutCopy) != 0) {
                result = Result::Failed;
                break;
            }
        } else {
            const QString target =
                takeOutCopy ? copies.TakeOutCopyPathOf(path) : copies.WorkingCopyPathOf(path);
            if (!IsLocation(target) || RefuseNameNotText(path) ||
                DecryptFolderTree(path, target, makeWritable, copyTime, takeOutCopy) != 0) {
                result = Result::Failed;
                break;
            }
        }
    }
    if (refresh && copiesChanged) {
        copiesChanged();
    }
    return result;
}

int OpenFiles::decryptFileOnly(const QString& path, bool makeWritable, bool copyTime, bool takeOutCopy)
{
    Request request;
    request.path = path;
    request.launch = false;
    request.refresh = false;
    request.makeWritable = makeWritable;
    request.copyTime = copyTime;
    request.takeOutCopy = takeOutCopy;
    return OpenEncryptedFile(request);
}

int OpenFiles::DecryptFolderTree(const QString& folder, const QString& target, bool makeWritable,
                                 bool copyTime, bool takeOutCopy)
{
    QString error;
    if (!QFileInfo(target).isDir() && CreateDirectoryTree(target, &error, 0700) != 0) {
        ShowError(MsgA(91) + error + QStringLiteral("\n\n") + target);
        return Result::Failed;
    }
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            if (DecryptFolderTree(entry.filePath(), target + QLatin1Char('/') + entry.fileName(),
                                  makeWritable, copyTime, takeOutCopy) != 0) {
                return Result::Failed;
            }
            continue;
        }
        QCoreApplication::processEvents();
        if (decryptFileOnly(entry.filePath(), makeWritable, copyTime, takeOutCopy) != 0) {
            return Result::Failed;
        }
    }
    const qint64 source = CountEntriesBelow(folder);
    const qint64 copied = CountEntriesBelow(target);
    if (source != copied) {
        ShowError(MsgA(90) + folder + QStringLiteral("：") + QString::number(source) + QLatin1Char('\n') +
                  target + QStringLiteral("：") + QString::number(copied) + QLatin1Char('\n'));
        return Result::Failed;
    }
    return Result::Ok;
}

int OpenFiles::RefuseIfDecrypted(const QStringList& paths)
{
    const WorkingCopyPaths& copies = m_store.copyPaths();
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString copy = copies.WorkingCopyPathOf(path);
        if (info.isDir()) {
            if (IsLocation(copy) && QFileInfo(copy).isDir()) {
                QDirIterator it(copy, QDir::Files | QDir::Hidden | QDir::System,
                                QDirIterator::Subdirectories);
                if (it.hasNext()) {
                    ShowMessage(MsgA(120) + info.fileName() + MsgA(121), MessageStyle::warning());
                    return Result::Failed;
                }
            }
        } else if (IsLocation(copy) && QFileInfo(copy).isFile()) {
            ShowMessage(MsgA(122) + QFileInfo(copy).fileName() + MsgA(123), MessageStyle::warning());
            return Result::Failed;
        }
    }
    return Result::Ok;
}
