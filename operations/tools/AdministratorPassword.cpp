#include "operations/tools/AdministratorPassword.h"

#include "store/StoreContext.h"
#include "store/datafiles/CommonData1.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
#include "util/PromptService.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QFile>

namespace {

enum Action
{
    Register = 0,
    Change = 1,
    Delete = 2,
};

// Asks for the administrator password. Cancelled when the user cancels; Failed with
// `invalidMessage` shown when the entry cannot be a password.
int askAdministratorPassword(int invalidMessage, QString* password)
{
    PasswordQuestion question;
    question.kind = PasswordQuestion::Administrator;
    question.title = MsgA(503);
    if (PromptService::instance().AskPassword(question, password) != Result::Ok) {
        return Result::Cancelled;
    }
    if (password->size() < PasswordRules::MinLength || password->size() > PasswordRules::MaxLength ||
        PasswordRules::PasswordCharsAllowed(*password) != 0) {
        SecureWipe(*password);
        ShowMessage(MsgA(invalidMessage), MessageStyle::warning());
        return Result::Failed;
    }
    return Result::Ok;
}

// Loads the common data with the password as the administrator's, so that it may be saved.
// A wrong password has shown A-561 with the stored hint; a file without an administrator record
// opens with none and gives A-205.
int loadAsAdministrator(CommonData1& common, const QString& password)
{
    int match = 0;
    if (common.LoadCommon1(password, 1, &match) != Result::Ok) {
        return Result::Failed;
    }
    if (match != 1) {
        ShowMessage(MsgA(205), MessageStyle::error());
        return Result::Failed;
    }
    return Result::Ok;
}

int askNewAdministratorPassword(QString* password, QString* hint)
{
    NewPasswordQuestion question;
    question.kind = NewPasswordQuestion::AdministratorPassword;
    return PromptService::instance().AskNewPassword(question, password, hint) == Result::Ok
               ? Result::Ok
               : Result::Cancelled;
}

int registerPassword(StoreContext& store)
{
    QString password;
    QString hint;
    if (askNewAdministratorPassword(&password, &hint) != Result::Ok) {
        return Result::Cancelled;
    }
    CommonData1 common(store.engine(), store.dataFolder());
    // The load makes the missing file (empty) and marks the data loaded for the save.
    int match = 0;
    int result = common.LoadCommon1(password, 1, &match);
    if (result == Result::Ok) {
        common.SetAdministratorHint(hint);
        result = common.SaveCommon1(password);
    }
    SecureWipe(password);
    if (result != Result::Ok) {
        // No empty file may stay behind: it would count as a registered password.
        QFile::remove(common.FilePath());
        return Result::Failed;
    }
    return Result::Ok;
}

int changePassword(StoreContext& store)
{
    QString current;
    int result = askAdministratorPassword(204, &current);
    if (result != Result::Ok) {
        return result;
    }
    CommonData1 common(store.engine(), store.dataFolder());
    result = loadAsAdministrator(common, current);
    SecureWipe(current);
    if (result != Result::Ok) {
        return result;
    }
    QString password;
    QString hint;
    if (askNewAdministratorPassword(&password, &hint) != Result::Ok) {
        return Result::Cancelled;
    }
    // The change passwords stay in memory and are enciphered under the new password's key.
    common.SetAdministratorHint(hint);
    result = common.SaveCommon1(password);
    SecureWipe(password);
    return result == Result::Ok ? Result::Ok : Result::Failed;
}

int deletePassword(StoreContext& store)
{
    if (ShowMessage(MsgA(207), MessageStyle::question(MsgButton::No)) != MsgButton::Yes) {
        return Result::Cancelled;
    }
    CommonData1 common(store.engine(), store.dataFolder());
    if (common.DeleteCommon1() != Result::Ok) {
        return Result::Failed;
    }
    ShowMessage(MsgA(208), MessageStyle::information());
    return Result::Ok;
}

} // namespace

int ManageAdministratorPassword(StoreContext& store)
{
    const CommonData1 common(store.engine(), store.dataFolder());
    const bool none = common.Common1Exists() != Result::Ok;
    switch (PromptService::instance().AskAdministratorAction(none)) {
    case Register:
        return none ? registerPassword(store) : Result::Failed;
    case Change:
        return none ? Result::Failed : changePassword(store);
    case Delete:
        return none ? Result::Failed : deletePassword(store);
    default:
        return Result::Cancelled;
    }
}

int ManageChangePasswords(StoreContext& store)
{
    CommonData1 common(store.engine(), store.dataFolder());
    if (common.Common1Exists() != Result::Ok) {
        ShowMessage(MsgA(191), MessageStyle::warning());
        return Result::Failed;
    }
    QString password;
    int result = askAdministratorPassword(192, &password);
    if (result != Result::Ok) {
        return result;
    }
    result = loadAsAdministrator(common, password);
    if (result == Result::Ok) {
        result = PromptService::instance().EditChangePasswords(password) == Result::Ok ? Result::Ok
                                                                                       : Result::Cancelled;
    }
    SecureWipe(password);
    return result;
}
