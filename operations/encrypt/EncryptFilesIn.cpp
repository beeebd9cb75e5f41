#include "operations/encrypt/EncryptFilesIn.h"

#include "engine/ContainerCrypt.h"
#include "engine/ContainerNaming.h"
#include "engine/CryptEngine.h"
#include "operations/common/StoreEntries.h"
#include "operations/encrypt/DestinationNames.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/DecryptedCopyGuard.h"
#include "store/checks/FolderAccessCheck.h"
#include "store/checks/ItemComparison.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/metadata/FolderMetadata.h"
#include "store/working/StoreAreas.h"
#include "store/working/WorkingCopyPaths.h"
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
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
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int PasswordAttempts = 5;
constexpr qint64 AdoptionMargin = 4096;

// The characters a name in the store may not hold.
bool IsStoreName(const QString& name)
{
    static const QString refused = QStringLiteral("*?\"|<>\\/:");
    for (const QChar c : name) {
        if (refused.contains(c)) {
            return false;
        }
    }
    return !name.isEmpty();
}

} // namespace

// The messages of the two places a file is brought in from: the sources themselves, and the
// files below a folder being brought in.
struct EncryptFilesIn::Texts
{
    int newer;
    int noticeBefore;
    int noticeAfter;
    int inUse;
    int recordEncrypted;
    int recordCopied;
    bool askOnCollision;
};

namespace {

const EncryptFilesIn::Texts* TopLevelTexts();
const EncryptFilesIn::Texts* TreeTexts();

} // namespace

int EncryptFilesIn::Run(Mode mode, const QString& destination, const QStringList& sources)
{
    m_notice = true;
    m_replaceAllFiles = false;
    m_replaceAllFolders = false;
    m_names.clear();
    m_foldersChanged = false;
    m_stopped = false;
    m_skipped = 0;
    m_written = 0;
    if (m_store.folders().IsReadOnlyFolder(destination, 1) != 0) {
        return Result::Failed;
    }
    const int result = worker(mode, destination, sources);
    MainWindowServices::instance().ClearBusyText();
    m_store.areas().CleanScratchAreas(true);
    if (m_store.settings().OutsideReWriteSkipFlg == 1 && m_skipped > 0) {
        ShowMessage(MsgA(644) + QString::number(m_skipped) + MsgA(645), MessageStyle::information());
    }
    return result;
}

bool EncryptFilesIn::stopRequested()
{
    if (!MainWindowServices::instance().CancelRequested()) {
        return false;
    }
    m_stopped = true;
    ShowMessage(MsgA(105), MessageStyle::information());
    return true;
}

int EncryptFilesIn::worker(Mode mode, const QString& destination, const QStringList& sources)
{
    m_root = m_store.folders().FindRegisteredRoot(destination, 0);
    if (m_root.isEmpty() || m_store.engine().IsKeySlotSet(m_root) != 0) {
        ShowError(MsgA(57) + destination);
        return Result::Failed;
    }
    DestinationNames names;
    if (names.Load(m_store.metadata(), destination, m_root) != 0) {
        return Result::Failed;
    }
    int result = Result::Ok;
    for (const QString& source : sources) {
        QCoreApplication::processEvents();
        QString text;
        if (CheckFolderAccess(source, 1, &text) != 0) {
            result = Result::Failed;
            break;
        }
        Step step = Step::Done;
        switch (EntryTypeOf(source)) {
        case EntryType::Missing:
            ShowError(MsgA(66) + source);
            step = Step::Stop;
            break;
        case EntryType::Special:
            ShowError(source + QStringLiteral("\n\n通常のファイルではないため、暗号化できません。"));
            step = Step::Stop;
            break;
        case EntryType::LinkedFolder:
            ShowError(source + QStringLiteral("\n\nフォルダーへのシンボリックリンクは暗号化できません。"));
            step = Step::Stop;
            break;
        case EntryType::Folder:
            step = bringFolder(mode, source, destination);
            break;
        case EntryType::File:
            step = bringFile(mode, source, destination, names, *TopLevelTexts());
            break;
        }
        if (step == Step::Stop) {
            result = m_stopped ? Result::Ok : Result::Failed;
            break;
        }
        if (stopRequested()) {
            break;
        }
    }
    if (m_store.metadata().SyncFolderMetadata(destination, m_root) != 0) {
        return Result::Failed;
    }
    return result;
}

EncryptFilesIn::Step EncryptFilesIn::bringFile(Mode mode, const QString& source, const QString& folder,
                                               DestinationNames& names, const Texts& texts)
{
    MainWindowServices::instance().SetBusyText(source, true);
    ContainerCrypt& crypt = m_store.crypt();
    ContainerInfo info;
    int status = NotAContainer;
    QString statusText;
    if (crypt.GetContainerStatus(source, m_root, &info, true, &status, &statusText) != 0) {
        return Step::Stop;
    }
    QString plain = source; // what is encrypted: the source, or the adopted container's plain copy
    QString name = QFileInfo(source).fileName();
    bool unchanged = false;
    switch (status) {
    case NewerFormat:
        ShowMessage(MsgA(texts.newer) + (texts.askOnCollision ? source : QString()),
                    texts.askOnCollision ? MessageStyle::warning() : MessageStyle::error());
        return Step::Stop;
    case OtherKey: {
        const Step adopted = adopt(source, &plain, &name);
        if (adopted != Step::Done) {
            return adopted;
        }
        break;
    }
    case ContainerReadable:
        if (m_notice) {
            NoticeQuestion notice;
            notice.message = MsgA(texts.noticeBefore) + source + MsgA(texts.noticeAfter);
            bool dontShowAgain = false;
            PromptService::instance().ShowNotice(notice, &dontShowAgain);
            if (dontShowAgain) {
                m_notice = false;
            }
        }
        name = info.plainName;
        unchanged = true;
        break;
    default:
        break;
    }
    // Whatever happens below, an adopted plain copy does not outlive this file.
    struct Scratch
    {
        QString path;
        ~Scratch()
        {
            if (!path.isEmpty()) {
                WipeDelete(QFileInfo(path).path(), true);
            }
        }
    } scratch{plain != source ? plain : QString()};

    const QString key = folder + QLatin1Char('/') + name;
    if (m_names.contains(key)) {
        ShowError(MsgA(27) + name + QStringLiteral("\n") + source);
        return Step::Stop;
    }
    QString target;
    const DestinationNames::Kind existing = names.find(name, &target);
    if (existing == DestinationNames::Plain) {
        ShowError(MsgA(70) + source);
        return Step::Stop;
    }
    if (QFileInfo(key).isDir()) {
        ShowError(MsgA(71) + QStringLiteral("このファイル ’") + name + QStringLiteral("’"));
        return Step::Stop;
    }
    const bool collision = existing == DestinationNames::Encrypted;
    bool identical = false;
    if (collision) {
        if (m_store.settings().OutsideReWriteSkipFlg == 1 && !unchanged) {
            identical = IsIdenticalToContainer(m_store.checks(), plain, target, m_root) == 7;
        }
        if (!identical && texts.askOnCollision && !m_replaceAllFiles) {
            OverwriteQuestion question;
            question.displayName = name;
            question.existingPath = target;
            question.newPath = source;
            question.existingIsContainer = true;
            question.newIsContainer = status != NotAContainer;
            question.existingSlot = m_root;
            question.newSlot = unchanged ? m_root : QString();
            const OverwriteAnswer answer = AskOverwriteOnce(question, &m_replaceAllFiles);
            if (answer == OverwriteNo) {
                return Step::Skipped;
            }
            if (answer != OverwriteYes) {
                return Step::Stop;
            }
        }
        if (!identical) {
            if (m_store.copyGuard().WorkingCopyExists(target) == 0) {
                ShowMessage(MsgA(texts.inUse) + QStringLiteral("このファイル ’") + name + QStringLiteral("’"),
                            MessageStyle::warning());
                return Step::Stop;
            }
            if (SetAttributeBits(target, FileAttribute::ReadOnly, true) != 0) {
                return Step::Stop;
            }
        }
    } else {
        QString fresh;
        if (ContainerName(folder, &fresh) != 0) {
            return Step::Stop;
        }
        target = folder + QLatin1Char('/') + fresh;
    }

    if (identical) {
        ++m_skipped;
    } else if (unchanged) {
        QString error;
        if (CopyContainer(source, target, &error) != 0) {
            ShowError(MsgA(texts.recordCopied) + source + QStringLiteral("\n\n") + error);
            return Step::Stop;
        }
    } else if (crypt.EncryptIntoFolder(plain, target, m_root) != 0) {
        return Step::Stop;
    }
    if (!identical) {
        names.addEncrypted(name, target);
        ++m_written;
        SetAttributeBits(target, FileAttribute::ReadOnly, false);
    }
    m_names.insert(key);

    if (mode == Move) {
        if (!ExistsAsEntry(source)) {
            ShowError(MsgA(77) + source);
            return Step::Stop;
        }
        QFile file(source);
        if (!file.remove()) {
            ShowError(MsgA(76) + file.errorString() + QStringLiteral("\n\n") + source);
            return Step::Stop;
        }
    }
    return Step::Done;
}

EncryptFilesIn::Step EncryptFilesIn::adopt(const QString& source, QString* plain, QString* name)
{
    if (ShowMessage(MsgA(78) + QStringLiteral("\n\n") + source, MessageStyle::question()) != MsgButton::Yes) {
        return Step::Skipped;
    }
    CryptEngine& engine = m_store.engine();
    ContainerInfo info;
    bool matched = false;
    for (int attempt = 0; attempt < PasswordAttempts && !matched; ++attempt) {
        PasswordQuestion question;
        question.kind = PasswordQuestion::OtherContainer;
        question.folder = source;
        QString password;
        if (PromptService::instance().AskPassword(question, &password) != 0) {
            SecureWipe(password);
            return Step::Skipped;
        }
        const QString slot = PasswordRules::IsValidPassword(password)
                                 ? engine.SetTemporaryKey(password, QString())
                                 : QString();
        SecureWipe(password);
        int status = NotAContainer;
        QString text;
        if (!slot.isEmpty() &&
            m_store.crypt().GetContainerStatus(source, slot, &info, true, &status, &text) == 0 &&
            status == ContainerReadable) {
            matched = true;
        } else {
            ShowMessage(MsgA(80), MessageStyle::warning());
        }
    }
    if (!matched) {
        ShowMessage(MsgA(79), MessageStyle::warning());
        return Step::Skipped;
    }
    qint64 free = 0;
    if (FreeSpace(m_store.workingFolder(), &free) != 0 || free < info.plainSize + AdoptionMargin) {
        ShowError(MsgA(82));
        return Step::Skipped;
    }
    QString scratchArea;
    if (m_store.areas().ScratchAreaOf(m_root, &scratchArea) != 0) {
        return Step::Stop;
    }
    // A folder of its own, so the plain copy carries the original name into the new container.
    const QString folder =
        scratchArea + QStringLiteral("/adopt-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (CreateDirectoryTree(folder, nullptr, 0700) != 0) {
        return Step::Stop;
    }
    *name = info.plainName;
    *plain = folder + QLatin1Char('/') + info.plainName;
    if (m_store.crypt().DecryptToFile(source, *plain, CryptEngine::TemporarySlotName) != 0) {
        WipeDelete(folder, true);
        return Step::Stop;
    }
    return Step::Done;
}

EncryptFilesIn::Step EncryptFilesIn::bringFolder(Mode mode, const QString& source, const QString& folder)
{
    m_foldersChanged = true;
    const QString name = QFileInfo(source).fileName();
    if (!IsStoreName(name)) {
        ShowError(MsgA(58) + QStringLiteral("このフォルダー ’") + name + QStringLiteral("’"));
        return Step::Stop;
    }
    if (RefuseNameNotText(source)) {
        return Step::Stop; // nothing of it is brought in, so a move leaves it whole
    }
    const QString target = folder + QLatin1Char('/') + name;
    if (QFileInfo(target).isDir()) {
        if (!m_replaceAllFolders) {
            OverwriteQuestion question;
            question.folder = true;
            question.displayName = name;
            question.newPath = source;
            const OverwriteAnswer answer = AskOverwriteOnce(question, &m_replaceAllFolders);
            if (answer == OverwriteNo) {
                return Step::Skipped;
            }
            if (answer != OverwriteYes) {
                return Step::Stop;
            }
        }
        if (m_store.copyGuard().RefuseIfDecryptedCopy(target, m_root) != 0) {
            return Step::Stop;
        }
    }
    const Step step = encryptTree(mode, source, target);
    if (step == Step::Stop) {
        return step;
    }
    if (m_store.metadata().SyncFolderMetadata(folder, m_root) != 0) {
        return Step::Stop;
    }
    if (mode == Move) {
        if (HasEntriesLeft(source)) {
            ShowError(MsgA(65) + source);
            return Step::Done;
        }
        if (ShellDelete({source}) != 0) {
            ShowError(MsgA(64) + source);
            return Step::Stop;
        }
    }
    return Step::Done;
}

EncryptFilesIn::Step EncryptFilesIn::encryptTree(Mode mode, const QString& source, const QString& target)
{
    QString error;
    if (!QFileInfo(target).isDir() && CreateDirectoryTree(target, &error) != 0) {
        ShowError(MsgA(20) + error + QStringLiteral("\n\n") + target);
        return Step::Stop;
    }
    DestinationNames names;
    if (names.Load(m_store.metadata(), target, m_root) != 0) {
        return Step::Stop;
    }
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsFirst);
    Step result = Step::Done;
    for (const QFileInfo& entry : entries) {
        QCoreApplication::processEvents();
        const QString path = entry.filePath();
        Step step = Step::Done;
        if (entry.isSymLink()) {
            continue; // never followed out of the chosen tree; a move leaves it (and its folder)
        }
        switch (EntryTypeOf(path)) {
        case EntryType::Folder:
            step = encryptTree(mode, path, target + QLatin1Char('/') + entry.fileName());
            m_foldersChanged = true;
            break;
        case EntryType::File:
            step = bringFile(mode, path, target, names, *TreeTexts());
            if (step != Step::Stop && stopRequested()) {
                step = Step::Stop;
            }
            break;
        default:
            continue; // pipes, sockets and devices stay where they are
        }
        if (step == Step::Stop) {
            result = Step::Stop;
            break;
        }
    }
    if (m_store.metadata().SyncFolderMetadata(target, m_root) != 0) {
        return Step::Stop;
    }
    return result;
}

namespace {

const EncryptFilesIn::Texts* TopLevelTexts()
{
    static const EncryptFilesIn::Texts texts{67, 68, 69, 73, 75, 74, true};
    return &texts;
}

const EncryptFilesIn::Texts* TreeTexts()
{
    static const EncryptFilesIn::Texts texts{21, 22, 23, 24, 25, 26, false};
    return &texts;
}

} // namespace
