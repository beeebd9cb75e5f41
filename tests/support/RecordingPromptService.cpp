#include "support/RecordingPromptService.h"

#include "util/ResultCodes.h"

RecordingPromptService::RecordingPromptService()
{
    PromptService::install(this);
}

RecordingPromptService::~RecordingPromptService()
{
    PromptService::install(nullptr);
}

int RecordingPromptService::BrowseForFolder(const QString& title, const QString&, const QString&,
                                            const QString&, int, QString* chosen)
{
    m_asked.append(QStringLiteral("folder: ") + title);
    if (m_folders.isEmpty()) {
        return Result::Failed;
    }
    *chosen = m_folders.takeFirst();
    return Result::Ok;
}

OverwriteAnswer RecordingPromptService::AskOverwrite(const OverwriteQuestion& question)
{
    m_asked.append(QStringLiteral("overwrite: ") + question.displayName);
    return m_overwrites.isEmpty() ? OverwriteCancel : m_overwrites.takeFirst();
}

int RecordingPromptService::AskPassword(const PasswordQuestion& question, QString* password)
{
    m_asked.append(QStringLiteral("password: ") + question.folder);
    if (m_passwords.isEmpty()) {
        return Result::Failed;
    }
    *password = m_passwords.takeFirst();
    return Result::Ok;
}

int RecordingPromptService::ShowNotice(const NoticeQuestion& question, bool* dontShowAgain)
{
    m_asked.append(QStringLiteral("notice: ") + question.message);
    if (m_notices.isEmpty()) {
        *dontShowAgain = false;
        return Result::Failed;
    }
    *dontShowAgain = m_notices.takeFirst();
    return Result::Ok;
}

int RecordingPromptService::AskNewPassword(const NewPasswordQuestion& question, QString* password,
                                           QString* hint)
{
    m_asked.append(QStringLiteral("new password: ") + question.folder);
    m_offeredHints.append(question.initialHint);
    if (m_newPasswords.isEmpty()) {
        return Result::Failed;
    }
    const QPair<QString, QString> answer = m_newPasswords.takeFirst();
    *password = answer.first;
    *hint = answer.second;
    return Result::Ok;
}

int RecordingPromptService::AskRemoteRegistration(bool* readOnly)
{
    m_asked.append(QStringLiteral("remote"));
    if (m_remote.isEmpty()) {
        return Result::Failed;
    }
    *readOnly = m_remote.takeFirst();
    return Result::Ok;
}

int RecordingPromptService::AskListConfirmation(const QString& title, const QString&, const QString&,
                                                const QString&)
{
    m_asked.append(QStringLiteral("confirm: ") + title);
    return !m_listConfirmations.isEmpty() && m_listConfirmations.takeFirst() ? Result::Ok : Result::Failed;
}

int RecordingPromptService::ShowTakeOut(const TakeOutDialogRequest& request, TakeOutDialogResult* result)
{
    m_asked.append(QStringLiteral("take out: %1").arg(int(request.type)));
    *result = m_takeOut ? m_takeOut(request) : TakeOutDialogResult();
    return Result::Ok;
}

int RecordingPromptService::AskTakeOutNaming(int*)
{
    m_asked.append(QStringLiteral("take-out naming"));
    return Result::Ok; // the naming stays as the setting has it
}

int RecordingPromptService::AskTakeOutPassword(bool, QString* password, QString* hint, int*)
{
    m_asked.append(QStringLiteral("take-out password"));
    if (m_takeOutPasswords.isEmpty()) {
        return Result::Failed;
    }
    const QPair<QString, QString> answer = m_takeOutPasswords.takeFirst();
    *password = answer.first;
    *hint = answer.second;
    return Result::Ok;
}

int RecordingPromptService::AskAdministratorAction(bool noPasswordYet)
{
    m_asked.append(noPasswordYet ? QStringLiteral("administrator: new")
                                 : QStringLiteral("administrator: registered"));
    return m_adminActions.isEmpty() ? Result::Failed : m_adminActions.takeFirst();
}

int RecordingPromptService::EditChangePasswords(const QString& adminPassword)
{
    m_asked.append(QStringLiteral("change passwords"));
    return m_changePasswords ? m_changePasswords(adminPassword) : Result::Failed;
}
