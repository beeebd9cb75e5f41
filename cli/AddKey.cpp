#include "cli/AddKey.h"

#include "cli/CliLanguage.h"
#include "cli/CliMessageService.h"
#include "cli/CliSession.h"
#include "cli/CommandKeys.h"
#include "cli/FolderEntries.h"
#include "cli/PasswordInput.h"
#include "cli/SharedTexts.h"
#include "store/datafiles/DataFolder.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/WorkingFolderLocation.h"
#include "util/PasswordRules.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFileInfo>

namespace {

// The first encrypted file at any depth of the folder, whatever its key, with what its header
// shows without a password; empty when none.
QString firstContainer(ContainerCrypt& crypt, const QString& folder, ContainerInfo* info)
{
    QString found;
    VisitFolders(folder, true, [&](const QString& dir) {
        QList<ClassifiedEntry> entries;
        if (ListFolderEntries(crypt, dir, CryptEngine::IntrinsicSlotName, &entries) != 0) {
            return 0;
        }
        for (const ClassifiedEntry& entry : entries) {
            // Under the program's own key every encrypted file is one of another password.
            int status = NotAContainer;
            QString text;
            if (entry.kind == ClassifiedEntry::OtherPassword &&
                crypt.GetContainerStatus(entry.path, CryptEngine::IntrinsicSlotName, info, false, &status,
                                         &text) == 0) {
                found = entry.path;
                return -1;
            }
        }
        return 0;
    });
    return found;
}

} // namespace

int AddKey::Take(const QString& folder)
{
    CryptEngine& engine = m_session.crypt().engine();
    RegisteredFolderTable table(engine, DataFolderPath(), [] { return DefaultWorkingFolder(); });
    // Reading the table must not make a data folder for a user who never ran the window.
    QString root;
    if (QFileInfo::exists(table.FilePath())) {
        if (table.LoadRegisteredFolders() != 0) {
            return Result::Failed;
        }
        root = table.FindRegisteredRoot(folder, 0);
    }
    if (root.isEmpty()) {
        return takeUnregistered(folder);
    }
    m_windowLock = std::make_unique<SingleInstance>(SingleInstance::WindowLockName);
    if (!m_windowLock->acquire()) {
        ReportError(Tr("%1 belongs to the registered folder %2 and the Kurabox window is running; add the "
                       "files in the window, or close it and try again",
                       "%1 は登録されたフォルダー %2 の中にあり、Kurabox のウィンドウが動いています。"
                       "ウィンドウで加えるか、ウィンドウを閉じてからやり直してください")
                        .arg(folder, root));
        return Result::Failed;
    }
    if (table.IsReadOnlyFolder(folder, 0) != 0) {
        ReportError(Tr("%1: the folder is registered read-only", "%1: 読み取り専用で登録されたフォルダーです")
                        .arg(folder));
        return Result::Failed;
    }
    QString password;
    if (ReadPassword(PasswordPrompt(), &password) != 0) {
        return Result::Failed;
    }
    int match = 0;
    QString hint;
    if (table.VerifyFolderPassword(root, password, &match) != 0 || match != 1) {
        SecureWipe(password);
        if (match != 1) {
            ReportError(Tr("the password does not open the registered folder %1",
                           "パスワードが登録されたフォルダー %1 のものと違います")
                            .arg(root));
        }
        return Result::Failed;
    }
    if (table.GetFolderHint(root, &hint) != 0) {
        SecureWipe(password);
        return Result::Failed;
    }
    m_slot = m_session.TakePassword(password, ShownHint(hint));
    return m_slot.isEmpty() ? Result::Failed : 0;
}

int AddKey::takeUnregistered(const QString& folder)
{
    ContainerCrypt& crypt = m_session.crypt();
    ContainerInfo info;
    const QString existing = firstContainer(crypt, folder, &info);
    QString password;
    if (existing.isEmpty()) {
        if (ReadNewPassword(Tr("New password for the folder: ", "フォルダーの新しいパスワード: "),
                            &password) != 0) {
            return Result::Failed;
        }
        if (PasswordRules::CheckNewPassword(password) != 0) {
            SecureWipe(password);
            return Result::Failed;
        }
        m_slot = m_session.TakePassword(password);
        return m_slot.isEmpty() ? Result::Failed : 0;
    }
    if (ReadPassword(PasswordPrompt(), &password) != 0) {
        return Result::Failed;
    }
    // The new files carry the hint that the folder's files carry.
    m_slot = m_session.TakePassword(password, ShownHint(info.hint));
    int status = NotAContainer;
    QString text;
    if (m_slot.isEmpty() || crypt.GetContainerStatus(existing, m_slot, &info, true, &status, &text) != 0) {
        return Result::Failed;
    }
    if (status != ContainerReadable) {
        ReportError(Tr("the password does not open the encrypted files already in %1 (%2)",
                       "パスワードが %1 に既にある暗号ファイルのものと違います（%2）")
                        .arg(folder, existing));
        return Result::Failed;
    }
    return 0;
}
