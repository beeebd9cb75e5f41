#pragma once

#include "util/PromptService.h"

class QWidget;
class StoreContext;

// The prompts as the window's real dialogs, owned by the main window.
class DialogPromptService : public PromptService
{
public:
    explicit DialogPromptService(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                        const QString& okText, int mode, QString* chosen) override;
    // ReplaceFileDialog for files, ReplaceFolderDialog for folders.
    OverwriteAnswer AskOverwrite(const OverwriteQuestion& question) override;
    // OptOutNoticeDialog with the information icon.
    int ShowNotice(const NoticeQuestion& question, bool* dontShowAgain) override;
    // PasswordEntryDialog (mode 3 for a folder, 4 for the administrator, 5 for a file). An entry that cannot
    // be a password comes back as typed, for the caller to refuse with its own message.
    int AskPassword(const PasswordQuestion& question, QString* password) override;
    // NewPasswordDialog.
    int AskNewPassword(const NewPasswordQuestion& question, QString* password, QString* hint) override;
    // NetworkFolderDialog.
    int AskRemoteRegistration(bool* readOnly) override;
    // StillDecryptedDialog.
    int AskListConfirmation(const QString& title, const QString& text, const QString& list,
                            const QString& buttonText) override;

    // TakeOutDialog, EncryptedTakeOutDialog and TakeOutPasswordDialog.
    int ShowTakeOut(const TakeOutDialogRequest& request, TakeOutDialogResult* result) override;
    int AskTakeOutNaming(int* angoOutNameMode) override;
    int AskTakeOutPassword(bool forMail, QString* password, QString* hint, int* angoOutNameMode) override;
    // FirstRegistrationDialog and FirstStepsDialog.
    int AskFirstRegistration() override;
    void ShowEncryptionGuidance() override;
    // AdministratorPasswordDialog and ChangePasswordListDialog.
    int AskAdministratorAction(bool noPasswordYet) override;
    int EditChangePasswords(const QString& adminPassword) override;

    // The store the password dialogs consult (change passwords); none: they skip those checks.
    void setStore(StoreContext* store) { m_store = store; }

private:
    QWidget* m_owner;
    StoreContext* m_store = nullptr;
};
