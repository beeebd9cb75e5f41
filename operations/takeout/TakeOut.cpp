#include "operations/takeout/TakeOut.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "engine/CryptEngine.h"
#include "operations/common/StoreEntries.h"
#include "operations/open/OpenFiles.h"
#include "operations/open/ReflectCopies.h"
#include "operations/tools/FolderProblems.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/MetadataLocation.h"
#include "store/working/TakeOutArea.h"
#include "store/working/WorkingAreaNames.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"
#include "util/ShellOperations.h"
#include "util/WipeDelete.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

QStringList KindsOf(const QStringList& items)
{
    QStringList kinds;
    for (const QString& item : items) {
        kinds.append(QFileInfo(item).isDir() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return kinds;
}

void SetReadOnly(const QStringList& paths, bool readOnly)
{
    for (const QString& path : paths) {
        if (QFileInfo::exists(path)) {
            SetAttributeBits(path, FileAttribute::ReadOnly, !readOnly);
        }
    }
}

// Runs a question outside the busy state (the user's time is not the operation's).
int OutsideBusy(const std::function<int()>& ask)
{
    MainWindowServices& services = MainWindowServices::instance();
    const bool busy = services.IsBusy();
    if (busy) {
        services.EndBusy();
    }
    const int result = ask();
    if (busy) {
        services.BeginBusy();
    }
    return result;
}

} // namespace

int TakeOut::openArea(const QStringList& items)
{
    m_removed = false;
    if (items.isEmpty()) {
        return Result::Failed;
    }
    RegisteredFolderTable& table = m_store.folders();
    m_root = table.FindRegisteredRoot(items.first(), 0);
    m_storeFolder = table.StoreFolderOf(m_root, 0);
    if (m_root.isEmpty() || m_storeFolder.isEmpty() || MetadataLocation::IsNoLocation(m_storeFolder)) {
        return Result::Failed;
    }
    return PrepareTakeOutArea(TakeOutAreaKind::Open, m_storeFolder, true);
}

int TakeOut::PrepareDragOut(const QStringList& items, QStringList* copies, QString* errorText)
{
    // The messages of a refusal are kept for after the drag.
    class Collecting : public MessageService
    {
    public:
        MsgButton ShowMessage(const QString& text, const MessageStyle& style) override
        {
            if (first.isEmpty()) {
                first = text;
            }
            return style.defaultButton;
        }
        QString first;
    } collecting;
    MessageService& previous = MessageService::instance();
    MessageService::install(&collecting);
    int result = openArea(items);
    if (result == 0) {
        result = checks(Decrypted, items);
    }
    if (result == 0) {
        result = m_open.DecryptSelection(items, true, false, false, true);
    }
    copies->clear();
    for (const QString& item : items) {
        copies->append(m_store.copyPaths().TakeOutCopyPathOf(item));
    }
    if (result == 0) {
        result = verify(items, *copies, 124, 125, 126);
    }
    MessageService::install(&previous);
    *errorText = collecting.first;
    return result;
}

int TakeOut::FinishDragOut(const QStringList& items, const QStringList& copies)
{
    const int result = cleanUp(items, copies, true);
    WipeDelete(m_storeFolder + QLatin1Char('/') + WorkingArea::TakeOut, true);
    PrepareTakeOutArea(TakeOutAreaKind::Close, m_storeFolder, true);
    return result;
}

void TakeOut::AbandonDragOut()
{
    if (!m_storeFolder.isEmpty()) {
        WipeDelete(m_storeFolder + QLatin1Char('/') + WorkingArea::TakeOut, true);
        PrepareTakeOutArea(TakeOutAreaKind::Close, m_storeFolder, true);
    }
}

int TakeOut::Run(Type type, const QStringList& items)
{
    if (openArea(items) != 0) {
        return Result::Failed;
    }
    int result = checks(type, items);
    if (result == 0) {
        result = type == Encrypted || type == NewPassword || type == NewPasswordForMail
                     ? takeOutEncrypted(type, items)
                     : takeOutPlain(type, items);
    }
    MainWindowServices& services = MainWindowServices::instance();
    if (result != 0) {
        services.SetBusyText(MsgA(636));
    }
    // No plain copy survives a take-out, however it ended.
    const QString area = m_storeFolder + QLatin1Char('/') + WorkingArea::TakeOut;
    WipeDelete(area, true);
    if (result != 0) {
        services.ClearBusyText();
    }
    PrepareTakeOutArea(TakeOutAreaKind::Close, m_storeFolder, true);
    return result;
}

int TakeOut::checks(Type type, const QStringList& items)
{
    for (const QString& item : items) {
        if (QFileInfo(item).isDir() && RefuseNameNotText(item)) {
            return Result::Failed;
        }
    }
    if (type != Unchanged) {
        for (const QString& item : items) {
            FolderProblemReport report;
            if (QFileInfo(item).isDir() && ScanFolderForProblems(m_store, item, true, false, &report) != 0) {
                return Result::Failed;
            }
        }
        // Copies that are out: one still open stops; changed ones are written back first.
        QStringList changed;
        for (const QString& item : items) {
            const QString copy = m_store.copyPaths().WorkingCopyPathOf(item);
            if (MetadataLocation::IsNoLocation(copy) || !QFileInfo::exists(copy)) {
                continue;
            }
            QStringList copies;
            if (QFileInfo(copy).isDir()) {
                QDirIterator it(copy, QDir::Files | QDir::Hidden | QDir::System,
                                QDirIterator::Subdirectories);
                while (it.hasNext()) {
                    copies.append(it.next());
                }
            } else {
                copies.append(copy);
            }
            for (const QString& file : std::as_const(copies)) {
                if (Platform::instance().IsOpenByOtherProcess(file)) {
                    ShowMessage(MsgA(84) + QFileInfo(file).fileName(), MessageStyle::warning());
                    return Result::Failed;
                }
                QString proposal;
                const QString container = m_store.copyPaths().ContainerPathOf(file, true, &proposal);
                if (ReflectCopies::IsChanged(file, container)) {
                    changed.append(file);
                }
            }
        }
        if (!changed.isEmpty()) {
            if (ShowMessage(MsgA(85), MessageStyle::question()) != MsgButton::Yes || !reflect ||
                reflect(changed) != 0) {
                return Result::Failed;
            }
        }
    }
    return m_open.RefuseIfDecrypted(items);
}

int TakeOut::verify(const QStringList& items, const QStringList& copies, int folderMissing, int countDiffers,
                    int fileMissing)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QFileInfo item(items.at(i));
        const QFileInfo copy(copies.at(i));
        if (item.isDir()) {
            if (!copy.isDir()) {
                ShowError(MsgA(folderMissing));
                return Result::Failed;
            }
            const qint64 original = CountEntriesBelow(item.filePath());
            const qint64 prepared = CountEntriesBelow(copy.filePath());
            if (original != prepared) {
                ShowError(MsgA(countDiffers) + QStringLiteral("：%1\n").arg(original) +
                          QStringLiteral("：%1\n").arg(prepared));
                return Result::Failed;
            }
        } else if (!copy.isFile()) {
            ShowError(MsgA(fileMissing));
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int TakeOut::takeOutPlain(Type type, const QStringList& items)
{
    const bool readOnly = m_store.folders().IsReadOnlyFolder(m_root, 0) != 0;
    QStringList handed;
    if (type == Unchanged) {
        handed = items;
        if (!readOnly) {
            SetReadOnly(handed, false);
        }
    } else {
        if (m_open.DecryptSelection(items, true, false, false, true) != 0) {
            return Result::Failed;
        }
        for (const QString& item : items) {
            handed.append(m_store.copyPaths().TakeOutCopyPathOf(item));
        }
        if (verify(items, handed, 124, 125, 126) != 0) {
            return Result::Failed;
        }
    }
    TakeOutDialogRequest request;
    request.type = type;
    request.paths = handed;
    request.kinds = KindsOf(items);
    request.readOnly = readOnly;
    request.root = m_root;
    TakeOutDialogResult outcome;
    const int shown = PromptService::instance().ShowTakeOut(request, &outcome);
    if (type == Unchanged) {
        SetReadOnly(handed, true);
        return Result::Ok;
    }
    if (shown != 0 || outcome.nothingToClean) {
        return shown == 0 ? Result::Ok : Result::Failed;
    }
    return cleanUp(items, handed, type == Decrypted && outcome.moved);
}

int TakeOut::cleanUp(const QStringList& items, const QStringList& copies, bool moved)
{
    MainWindowServices& services = MainWindowServices::instance();
    for (qsizetype i = 0; i < items.size(); ++i) {
        QCoreApplication::processEvents();
        const QString& item = items.at(i);
        const QString& copy = copies.at(i);
        const bool present = QFileInfo::exists(copy);
        if (QFileInfo(item).isDir()) {
            if (present) {
                services.SetBusyText(MsgA(636));
                const int wiped = WipeDelete(copy, true);
                services.ClearBusyText();
                if (wiped != 0) {
                    ShowError(MsgA(87) + QLatin1Char('\n') + copy);
                    return Result::Failed;
                }
            } else if (moved) {
                if (ShellDelete({item}) != 0) {
                    ShowError(MsgA(86));
                    return Result::Failed;
                }
                m_removed = true;
            }
        } else if (present) {
            SetAttributeBits(copy, FileAttribute::ReadOnly, true);
            if (WipeDelete(copy, false) != 0) {
                ShowError(MsgA(89));
                return Result::Failed;
            }
        } else if (moved) {
            SetAttributeBits(item, FileAttribute::ReadOnly, true);
            if (!QFile::remove(item)) {
                ShowError(MsgA(88) + QLatin1Char('\n') + item);
                return Result::Failed;
            }
            m_removed = true;
        }
    }
    return Result::Ok;
}

int TakeOut::takeOutEncrypted(Type type, const QStringList& items)
{
    const QString staging = m_storeFolder + QLatin1Char('/') + WorkingArea::Staging;
    if ((QFileInfo::exists(staging) && WipeDelete(staging, true) != 0) ||
        CreateDirectoryTree(staging, nullptr, 0700) != 0) {
        ShowError(MsgA(93));
        return Result::Failed;
    }
    SettingsRecord& settings = m_store.settings();
    PromptService& prompts = PromptService::instance();
    QStringList prepared; // the copies below "Re", in the order of the items
    if (type == Encrypted) {
        const int asked = OutsideBusy([&] { return prompts.AskTakeOutNaming(&settings.AngoOutNameMode); });
        if (asked != 0) {
            return Result::Ok;
        }
        for (const QString& item : items) {
            // Copies keep their times and permissions (a read-only container stays read-only).
            const QString target = staging + QLatin1Char('/') + QFileInfo(item).fileName();
            if (ShellCopy({item}, staging) != 0) {
                ShowError(MsgA(94) + QStringLiteral("\n\n") + target);
                return Result::Failed;
            }
            prepared.append(target);
        }
    } else {
        QString password;
        QString hint;
        const int asked = OutsideBusy([&] {
            return prompts.AskTakeOutPassword(type == NewPasswordForMail, &password, &hint,
                                              &settings.AngoOutNameMode);
        });
        if (asked != 0) {
            SecureWipe(password);
            return Result::Ok;
        }
        const QString slot = m_store.engine().SetTemporaryKey(password, hint);
        SecureWipe(password);
        if (slot.isEmpty() || m_open.DecryptSelection(items, false, false, false, true) != 0) {
            return Result::Failed;
        }
        // Each plain copy becomes a container of the new password below "Re"; the plain copies
        // go with the "To" area when the take-out ends.
        std::function<int(const QString&, const QString&)> encryptTree = [&](const QString& from,
                                                                             const QString& to) {
            if (CreateDirectoryTree(to, nullptr, 0700) != 0) {
                ShowError(MsgA(94));
                return int(Result::Failed);
            }
            const QFileInfoList entries = QDir(from).entryInfoList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            for (const QFileInfo& entry : entries) {
                if (entry.isDir()) {
                    if (encryptTree(entry.filePath(), to + QLatin1Char('/') + entry.fileName()) != 0) {
                        return int(Result::Failed);
                    }
                    continue;
                }
                QString name;
                if (ContainerName(to, &name) != 0 ||
                    m_store.crypt().EncryptIntoFolder(entry.filePath(), to + QLatin1Char('/') + name, slot) !=
                        0) {
                    return int(Result::Failed);
                }
            }
            return int(Result::Ok);
        };
        for (const QString& item : items) {
            const QString copy = m_store.copyPaths().TakeOutCopyPathOf(item);
            if (QFileInfo(item).isDir()) {
                const QString target = staging + QLatin1Char('/') + QFileInfo(item).fileName();
                if (encryptTree(copy, target) != 0) {
                    return Result::Failed;
                }
                prepared.append(target);
                continue;
            }
            QString name;
            if (ContainerName(staging, &name) != 0 ||
                m_store.crypt().EncryptIntoFolder(copy, staging + QLatin1Char('/') + name, slot) != 0) {
                return Result::Failed;
            }
            prepared.append(staging + QLatin1Char('/') + name);
        }
    }
    if (verify(items, prepared, 127, 128, 129) != 0) {
        return Result::Failed;
    }
    // The names the copies are handed out under.
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (QFileInfo(items.at(i)).isDir() || settings.AngoOutNameMode != 0) {
            continue;
        }
        const QString original = QFileInfo(m_store.copyPaths().TakeOutCopyPathOf(items.at(i))).fileName();
        const QString named = staging + QLatin1Char('/') + original + QStringLiteral(".kbxf");
        if (std::rename(QFile::encodeName(prepared.at(i)).constData(),
                        QFile::encodeName(named).constData()) != 0) {
            ShowError(MsgA(95) + QStringLiteral("\n( ") + prepared.at(i) + QStringLiteral(" )"));
            return Result::Failed;
        }
        prepared[i] = named;
    }
    if (settings.OutReadOnlyFlg != 1) {
        SetReadOnly(prepared, false);
    }
    TakeOutDialogRequest request;
    request.type = type;
    request.paths = prepared;
    request.kinds = KindsOf(items);
    request.readOnly = m_store.folders().IsReadOnlyFolder(m_root, 0) != 0;
    request.root = m_root;
    TakeOutDialogResult outcome;
    PromptService::instance().ShowTakeOut(request, &outcome);
    // Containers are never removed by these types: what is left below "Re" goes.
    WipeDelete(staging, true);
    CreateDirectoryTree(staging, nullptr, 0700);
    return Result::Ok;
}
