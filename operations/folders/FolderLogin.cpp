#include "operations/folders/FolderLogin.h"

#include "engine/CryptEngine.h"
#include "store/StoreContext.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/DecryptedCopies.h"
#include "store/working/WorkingAreaNames.h"
#include "util/ErrorText.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
#include "util/PrivatePermissions.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 0 when the folder stands (made now or before); the errno otherwise.
int MakeFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), PrivateFolderMode) == 0) {
        return 0;
    }
    const int error = errno;
    struct stat st;
    if (error == EEXIST && ::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return 0;
    }
    return error;
}

// 0 when the placeholder file or a folder of that name stands.
int MakePlaceholder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) == 0) {
        return 0;
    }
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, PrivateFileMode);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    return 0;
}

} // namespace

int FolderLogin::LoginFolder(const QString& root, const QString& given)
{
    RegisteredFolderTable& table = m_store.folders();
    QString password = given;
    if (password.isEmpty()) {
        PasswordQuestion question;
        question.kind = PasswordQuestion::FolderLogin;
        question.folder = root;
        table.GetFolderHint(root, &question.hint);
        if (PromptService::instance().AskPassword(question, &password) != 0) {
            SecureWipe(password);
            return Result::Failed;
        }
        if (!PasswordRules::IsValidPassword(password)) {
            SecureWipe(password);
            ShowMessage(MsgA(163), MessageStyle::warning());
            return Result::Failed;
        }
    }
    int match = 0;
    QString hint;
    if (table.VerifyFolderPassword(root, password, &match) != 0 || table.GetFolderHint(root, &hint) != 0) {
        SecureWipe(password);
        return Result::Failed;
    }
    if (match != 1) {
        SecureWipe(password);
        ShowMessage(MsgA(164) + hint.trimmed() + QStringLiteral(" 」です。　"), MessageStyle::warning());
        return Result::Failed;
    }
    QByteArray bytes = CryptEngine::PasswordToBytes(password);
    SecureWipe(password);
    const int result = m_store.engine().SetKeySlot(bytes, root, hint);
    SecureWipe(bytes);
    return result == 0 ? Result::Ok : Result::Failed;
}

int FolderLogin::PrepareWorkingAreas(const QString& root)
{
    const QString store = m_store.folders().StoreFolderOf(root, 0);
    if (store.isEmpty() || !QDir::isAbsolutePath(store)) {
        return Result::Ok; // a folder without a store folder of its own has no areas
    }
    const struct
    {
        QString path;
        int message;
        bool placeholder;
    } areas[] = {
        {store, 146, false},
        {store + QLatin1Char('/') + WorkingArea::WorkingCopies, 147, false},
        {store + QLatin1Char('/') + WorkingArea::Metadata, 148, false},
        {store + QLatin1Char('/') + WorkingArea::Staging, 149, false},
        {store + QLatin1Char('/') + WorkingArea::TakeOut, 149, true},
        {store + QLatin1Char('/') + WorkingArea::Scratch, 150, false},
    };
    const QString working = QFileInfo(store).path();
    if (!QFileInfo(working).isDir() && MakeFolder(working) != 0) {
        QDir().mkpath(working);
        TightenPermissions(working, PrivateFolderMode);
    }
    for (const auto& area : areas) {
        const int error = area.placeholder ? MakePlaceholder(area.path) : MakeFolder(area.path);
        if (error != 0) {
            ShowMessage(MsgA(area.message) + ErrnoText(error) + QStringLiteral("\n\n") + area.path,
                        MessageStyle::error());
            return Result::Failed;
        }
    }
    return Result::Ok;
}

int FolderLogin::LogoutFolder(const QString& root, const ReflectFolder& reflect)
{
    RegisteredFolderTable& table = m_store.folders();
    DecryptedCopies& copies = m_store.copies();
    const bool readOnly = table.IsReadOnlyFolder(root, 0) != 0;
    const bool hasCopies = copies.HasDecryptedFiles(root) != 0;
    if (hasCopies && !readOnly) {
        if (PromptService::instance().AskListConfirmation(QStringLiteral("ログアウト確認"), MsgA(650), root,
                                                          MsgA(651)) != 0) {
            return Result::Failed;
        }
        // Nothing is forgotten while a copy could not be written back.
        if (!reflect || reflect(root) != 0 || copies.HasDecryptedFiles(root) != 0) {
            ShowMessage(MsgA(652), MessageStyle::warning());
            return Result::Failed;
        }
    } else if (ShowMessage(MsgA(259) + root, MessageStyle::question()) != MsgButton::Yes) {
        return Result::Failed;
    }
    if (readOnly && hasCopies && copies.ClearDecryptedFiles(root, DecryptedCopies::Silent) != 0) {
        ShowMessage(MsgA(653), MessageStyle::warning());
        return Result::Failed;
    }
    m_store.engine().ClearKeySlot(root);
    return Result::Ok;
}
