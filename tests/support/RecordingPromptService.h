#pragma once

#include "util/PromptService.h"

#include <QList>
#include <QStringList>

#include <functional>

// A prompt service for tests: answers every question from a script given in advance and
// records what was asked, so a test can check both the questions and what followed them. An
// unscripted question is answered as the user who cancels would. Installed while it lives.
class RecordingPromptService : public PromptService
{
public:
    RecordingPromptService();
    ~RecordingPromptService() override;

    void scriptFolders(QStringList folders) { m_folders = std::move(folders); }
    void scriptOverwrites(QList<OverwriteAnswer> answers) { m_overwrites = std::move(answers); }
    void scriptPasswords(QStringList passwords) { m_passwords = std::move(passwords); }
    // Each new password is a (password, hint) pair.
    void scriptNewPasswords(QList<QPair<QString, QString>> answers) { m_newPasswords = std::move(answers); }
    // Each remote registration goes on, read-only or not.
    void scriptRemoteRegistrations(QList<bool> readOnly) { m_remote = std::move(readOnly); }
    // Each list confirmation is answered with the button that goes on (true) or cancel.
    void scriptListConfirmations(QList<bool> answers) { m_listConfirmations = std::move(answers); }
    // What the user does in the take-out dialog (nothing set: the dialog is cancelled).
    void setTakeOutHandler(std::function<TakeOutDialogResult(const TakeOutDialogRequest&)> handler)
    {
        m_takeOut = std::move(handler);
    }
    // The take-out passwords: (password, hint) pairs.
    void scriptTakeOutPasswords(QList<QPair<QString, QString>> answers)
    {
        m_takeOutPasswords = std::move(answers);
    }
    // The choices in the administrator-password dialog (0 register, 1 change, 2 delete).
    void scriptAdministratorActions(QList<int> choices) { m_adminActions = std::move(choices); }
    // What the user does in the change-password list, given the administrator password (nothing
    // set: the list is cancelled).
    void setChangePasswordEditor(std::function<int(const QString& adminPassword)> editor)
    {
        m_changePasswords = std::move(editor);
    }
    // Each notice is accepted; `dontShowAgain` is what the box reads.
    void scriptNotices(QList<bool> dontShowAgain) { m_notices = std::move(dontShowAgain); }

    int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                        const QString& okText, int mode, QString* chosen) override;
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override;
    int AskPassword(const PasswordQuestion& question, QString* password) override;
    int ShowNotice(const NoticeQuestion& question, bool* dontShowAgain) override;
    int AskNewPassword(const NewPasswordQuestion& question, QString* password, QString* hint) override;
    int AskRemoteRegistration(bool* readOnly) override;
    int AskListConfirmation(const QString& title, const QString& text, const QString& list,
                            const QString& buttonText) override;
    int ShowTakeOut(const TakeOutDialogRequest& request, TakeOutDialogResult* result) override;
    int AskTakeOutNaming(int* angoOutNameMode) override;
    int AskTakeOutPassword(bool forMail, QString* password, QString* hint, int* angoOutNameMode) override;
    int AskAdministratorAction(bool noPasswordYet) override;
    int EditChangePasswords(const QString& adminPassword) override;
    // The hints the new-password questions offered first, in order.
    const QStringList& offeredHints() const { return m_offeredHints; }

    // One line per question, in order: "folder: TITLE", "overwrite: NAME", "password: FOLDER",
    // "notice: MESSAGE", "new password: FOLDER", "remote", "confirm: TITLE",
    // "administrator: new" or "administrator: registered", "change passwords".
    const QStringList& asked() const { return m_asked; }

private:
    QStringList m_folders;
    QList<OverwriteAnswer> m_overwrites;
    QStringList m_passwords;
    QList<bool> m_notices;
    QList<QPair<QString, QString>> m_newPasswords;
    QList<bool> m_remote;
    QList<bool> m_listConfirmations;
    QStringList m_offeredHints;
    std::function<TakeOutDialogResult(const TakeOutDialogRequest&)> m_takeOut;
    QList<QPair<QString, QString>> m_takeOutPasswords;
    QList<int> m_adminActions;
    std::function<int(const QString&)> m_changePasswords;
    QStringList m_asked;
};
