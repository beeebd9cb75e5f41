#include "operations/folders/FolderRegistration.h"

#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "operations/folders/FolderFiles.h"
#include "operations/folders/RegistrationChecks.h"
#include "platform/Platform.h"
#include "store/StoreContext.h"
#include "store/checks/ContainerChecks.h"
#include "store/checks/FolderAccessCheck.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/StoreAreas.h"
#include "util/ErrorText.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int MaxPasswordAttempts = 12;
const QString WriteTestName = QStringLiteral("kbxtestf15.delf");

// Writes and removes the test file; the system's error text on failure.
int WriteTest(const QString& folder, QString* error)
{
    const QByteArray file = QFile::encodeName(folder + QLatin1Char('/') + WriteTestName);
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = ErrnoText(errno);
        return Result::Failed;
    }
    const char probe[] = "kbx";
    const bool written = ::write(fd, probe, sizeof probe) == static_cast<ssize_t>(sizeof probe);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    ::unlink(file.constData());
    if (!written || !closed) {
        *error = ErrnoText(!written ? writeError : closeError);
        return Result::Failed;
    }
    return Result::Ok;
}

} // namespace

int FolderRegistration::RegisterFolder(const QString& requested, Outcome* outcome)
{
    RegisteredFolderTable& table = m_store.folders();
    int driveType = DriveUnknown;
    if (RegistrationChecks::CheckFolderForRegistration(requested, table, &driveType) != 0) {
        return Result::Failed;
    }
    const QString path = QDir::cleanPath(requested);
    const SettingsRecord& settings = m_store.settings();
    bool readOnly = false;
    switch (driveType) {
    case DriveRemovable:
        if (settings.UsbAutoKaijyoFlg == 1) {
            ShowMessage(QStringLiteral("このドライブ") + QStringLiteral("（リムーバルディスク）") +
                            MsgA(243) + QStringLiteral("Kurabox") + MsgA(244),
                        MessageStyle::information());
        }
        break;
    case DriveRemote:
        if (PromptService::instance().AskRemoteRegistration(&readOnly) != 0) {
            return Result::Failed;
        }
        break;
    case DriveOptical:
        ShowMessage(QStringLiteral("このドライブ") + QStringLiteral("（CD/DVD/BDドライブ）") + MsgA(245) +
                        QStringLiteral("Kurabox") + MsgA(246) + MsgA(247),
                    MessageStyle::information());
        readOnly = true;
        break;
    default:
        break;
    }

    const bool wasEmpty = FilesBelow(path).isEmpty();
    if (!wasEmpty && !readOnly) {
        const QString question =
            MsgA(234) + QFileInfo(path).fileName() +
            QStringLiteral(" ' には既にファイルが格納されています。\nファイルが格納されているフォルダーの") +
            QStringLiteral("登録は、暗号フォルダーの再登録の場合に限ってください。　\n\nよろしいですか？　");
        if (ShowMessage(question, MessageStyle::question()) != MsgButton::Yes) {
            return Result::Failed;
        }
    }
    if (!wasEmpty && driveType != DriveOptical) {
        BusyScope busy;
        QString text;
        if (CheckFolderAccess(path, 1, &text) != 0) {
            return Result::Failed;
        }
    }
    const QString storeName = ChooseStoreName();
    if (storeName.isEmpty()) {
        ShowMessage(MsgA(452), MessageStyle::error());
        return Result::Failed;
    }

    QString password;
    QString hint;
    const int asked = askPassword(path, readOnly, wasEmpty, &password, &hint);
    if (asked != 0) {
        SecureWipe(password);
        return asked;
    }
    const bool autoRelease =
        driveType == DriveOptical || (driveType == DriveRemovable && settings.UsbAutoKaijyoFlg == 1);
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    if (table.AddRegisteredFolder(path, hint, password, flag(readOnly), storeName, flag(autoRelease),
                                  driveType) != 0) {
        ShowMessage(MsgA(252), MessageStyle::warning());
        SecureWipe(password);
        return Result::Failed;
    }
    if (!readOnly && finalCheck(path, wasEmpty, password, hint) != 0) {
        removeAgain(path);
        SecureWipe(password);
        return Result::Failed;
    }
    outcome->root = path;
    outcome->password = password;
    outcome->readOnly = readOnly;
    SecureWipe(password);
    return Result::Ok;
}

int FolderRegistration::askPassword(const QString& path, bool readOnly, bool wasEmpty, QString* password,
                                    QString* hint)
{
    PromptService& prompts = PromptService::instance();
    if (readOnly) {
        PasswordQuestion question;
        question.kind = PasswordQuestion::FolderLogin;
        question.folder = path;
        if (prompts.AskPassword(question, password) != 0) {
            return Result::Failed;
        }
        if (!PasswordRules::IsValidPassword(*password)) {
            ShowMessage(MsgA(251), MessageStyle::warning());
            return Result::Failed;
        }
        hint->clear();
        return VerifyPasswordAgainstFiles(path, *password) == Accepted ? Result::Ok : Result::Failed;
    }

    NewPasswordQuestion question;
    question.kind = NewPasswordQuestion::FolderPassword;
    question.folder = path;
    if (!wasEmpty) {
        ContainerChecks& checks = m_store.checks();
        for (const QString& file : FilesBelow(path)) {
            QString found;
            QString error;
            if (checks.ReadHintOfFile(file, &found, &error) == 0 && !found.isEmpty()) {
                question.initialHint = found;
                break;
            }
        }
    }
    for (int attempt = 0; attempt < MaxPasswordAttempts; ++attempt) {
        SecureWipe(*password);
        if (prompts.AskNewPassword(question, password, hint) != 0) {
            return Result::Failed;
        }
        if (wasEmpty) {
            return Result::Ok;
        }
        const int verdict = VerifyPasswordAgainstFiles(path, *password);
        if (verdict == Result::Failed) {
            return Result::Failed;
        }
        if (verdict == Accepted) {
            return Result::Ok;
        }
        question.initialHint = *hint;
    }
    return Result::Failed;
}

int FolderRegistration::VerifyPasswordAgainstFiles(const QString& folder, const QString& password)
{
    CryptEngine& engine = m_store.engine();
    const QString slot = engine.SetTemporaryKey(password, QString());
    if (slot.isEmpty()) {
        return Result::Failed;
    }
    int newer = 0;
    int otherKey = 0;
    int plain = 0;
    {
        BusyScope busy;
        for (const QString& file : FilesBelow(folder)) {
            ContainerInfo info;
            int status = 0;
            QString text;
            if (m_store.crypt().GetContainerStatus(file, slot, &info, true, &status, &text) != 0) {
                return Result::Failed;
            }
            if (status == NewerFormat) {
                ++newer;
            } else if (status == OtherKey) {
                ++otherKey;
            } else if (status != ContainerReadable) {
                ++plain;
            }
        }
    }
    const struct
    {
        int count;
        int message;
    } questions[] = {{newer, 253}, {otherKey, 254}, {plain, 255}};
    for (const auto& question : questions) {
        if (question.count != 0 &&
            ShowMessage(MsgA(question.message), MessageStyle::question()) != MsgButton::Yes) {
            return AskAgain;
        }
    }
    return Accepted;
}

int FolderRegistration::ReplaceAllHints(const QString& password, const QString& hint, const QString& root)
{
    const QString question = QStringLiteral("既に格納されてい") + QStringLiteral("る暗号ファイルのヒン") +
                             QStringLiteral("トを全て置き換えますか？");
    if (ShowMessage(question, MessageStyle::question()) != MsgButton::Yes) {
        return Result::Ok;
    }
    ShowMessage(MsgA(264), MessageStyle::information());
    const QString slot = m_store.engine().SetTemporaryKey(password, hint);
    if (slot.isEmpty()) {
        return Result::Failed;
    }
    bool failed = false;
    {
        BusyScope busy;
        for (const QString& file : FilesBelow(root)) {
            ContainerInfo info;
            int status = 0;
            QString text;
            if (m_store.crypt().GetContainerStatus(file, slot, &info, false, &status, &text) != 0 ||
                status != ContainerReadable) {
                continue; // only the containers of this password carry its hint
            }
            if (m_store.crypt().UpdateContainerHint(file, hint) != 0) {
                ShowMessage(MsgA(621) + QStringLiteral("\n\n") + file, MessageStyle::warning());
                failed = true;
            }
        }
    }
    if (failed) {
        ShowMessage(MsgA(265), MessageStyle::warning());
        return Result::Failed;
    }
    ShowMessage(MsgA(266), MessageStyle::information());
    return Result::Ok;
}

int FolderRegistration::finalCheck(const QString& path, bool wasEmpty, const QString& password,
                                   const QString& hint)
{
    if (wasEmpty) {
        QString error;
        if (WriteTest(path, &error) != 0) {
            ShowMessage(MsgA(631) + error + QStringLiteral("\n\n") + path, MessageStyle::warning());
            return Result::Failed;
        }
        return Result::Ok;
    }
    return ReplaceAllHints(password, hint, path);
}

int FolderRegistration::removeAgain(const QString& path)
{
    RegisteredFolderTable& table = m_store.folders();
    if (table.UnregisterFolder(path) != 0) {
        ShowMessage(MsgA(238), MessageStyle::warning());
        return Result::Failed;
    }
    return table.LoadRegisteredFolders();
}

QString FolderRegistration::ChooseStoreName() const
{
    const QString working = m_store.workingFolder();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString text = QUuid::createUuid().toString(QUuid::Id128).toUpper();
        if (text.size() < 6) {
            return QString();
        }
        const QString name = text.left(6);
        if (!QFileInfo::exists(working + QLatin1Char('/') + name)) {
            return name;
        }
    }
    return QString();
}

int FolderRegistration::UnregisterFolder(const QString& root)
{
    if (ShowMessage(MsgA(236) + root + QStringLiteral("　"), MessageStyle::question()) != MsgButton::Yes) {
        return Result::Failed;
    }
    RegisteredFolderTable& table = m_store.folders();
    if (m_store.copies().HasDecryptedFiles(root) != 0) {
        if (table.IsReadOnlyFolder(root, 0) == 0) {
            ShowMessage(MsgA(237), MessageStyle::warning());
            return Result::Failed;
        }
        if (m_store.copies().ClearDecryptedFiles(root, 0) != 0) {
            return Result::Failed;
        }
    }
    return ReleaseRoot(root, true);
}

int FolderRegistration::ReleaseRoot(const QString& root, bool announce)
{
    m_store.engine().ClearKeySlot(root);
    RegisteredFolderTable& table = m_store.folders();
    // The store folder holds only what the program derived from the folder (metadata, empty
    // areas); it goes with the registration. The folder itself is never touched.
    m_store.areas().RemoveStoreFolder(root);
    if (table.UnregisterFolder(root) != 0) {
        ShowMessage(MsgA(238), MessageStyle::warning());
        return Result::Failed;
    }
    if (table.LoadRegisteredFolders() != 0) {
        return Result::Failed;
    }
    if (announce) {
        ShowMessage(MsgA(239), MessageStyle::information());
    }
    return Result::Ok;
}
