#include "util/PromptService.h"

#include "util/ResultCodes.h"

namespace {

PromptService g_cancelling;
PromptService* g_service = nullptr;

} // namespace

PromptService::~PromptService()
{
    if (g_service == this) {
        g_service = nullptr;
    }
}

int PromptService::BrowseForFolder(const QString&, const QString&, const QString&, const QString&, int,
                                   QString*)
{
    return Result::Failed;
}

OverwriteAnswer PromptService::AskOverwrite(const OverwriteQuestion&)
{
    return OverwriteCancel;
}

int PromptService::AskPassword(const PasswordQuestion&, QString*)
{
    return Result::Failed;
}

int PromptService::AskNewPassword(const NewPasswordQuestion&, QString*, QString*)
{
    return Result::Failed;
}

int PromptService::AskRemoteRegistration(bool*)
{
    return Result::Failed;
}

int PromptService::AskListConfirmation(const QString&, const QString&, const QString&, const QString&)
{
    return Result::Failed;
}

int PromptService::ShowTakeOut(const TakeOutDialogRequest&, TakeOutDialogResult*)
{
    return Result::Failed;
}

int PromptService::AskTakeOutNaming(int*)
{
    return Result::Failed;
}

int PromptService::AskTakeOutPassword(bool, QString*, QString*, int*)
{
    return Result::Failed;
}

int PromptService::AskFirstRegistration()
{
    return Result::Failed;
}

void PromptService::ShowEncryptionGuidance() {}

int PromptService::AskAdministratorAction(bool)
{
    return Result::Failed;
}

int PromptService::EditChangePasswords(const QString&)
{
    return Result::Failed;
}

int PromptService::ShowNotice(const NoticeQuestion&, bool* dontShowAgain)
{
    *dontShowAgain = false;
    return Result::Failed;
}

void PromptService::install(PromptService* service)
{
    g_service = service;
}

PromptService& PromptService::instance()
{
    return g_service ? *g_service : g_cancelling;
}

int ShowSettingNotice(int* flag, const QString& message, const QString& checkText)
{
    if (*flag != 1) {
        return Result::Ok;
    }
    NoticeQuestion notice;
    notice.message = message;
    notice.checkText = checkText;
    bool dontShowAgain = false;
    if (PromptService::instance().ShowNotice(notice, &dontShowAgain) != 0) {
        return Result::Failed;
    }
    if (dontShowAgain) {
        *flag = 0;
    }
    return Result::Ok;
}

OverwriteAnswer AskOverwriteOnce(const OverwriteQuestion& question, bool* replaceAll)
{
    if (*replaceAll) {
        return OverwriteYes;
    }
    switch (PromptService::instance().AskOverwrite(question)) {
    case OverwriteYesToAll:
        *replaceAll = true;
        return OverwriteYes;
    case OverwriteYes:
        return OverwriteYes;
    case OverwriteNo:
        return OverwriteNo;
    default:
        return OverwriteCancel;
    }
}
