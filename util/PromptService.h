#pragma once

#include "util/OverwriteAnswer.h"

#include <QString>
#include <QStringList>

// What an overwrite question shows: the item of that name that is in the way, and the one that
// would replace it. Files are described by their paths (a container's original size and times
// are read with the key slot given); a folder by its name alone.
struct OverwriteQuestion
{
    bool folder = false;  // a folder copied into an existing folder of the same name
    bool single = true;   // only one item is concerned: no "all" and no "cancel" to offer
    QString displayName;  // the name both items share
    QString existingPath; // files only
    QString newPath;
    bool existingIsContainer = false;
    bool newIsContainer = false;
    QString existingSlot;
    QString newSlot;
};

// What a password question asks for.
struct PasswordQuestion
{
    enum Kind
    {
        FolderLogin,     // the password of a registered folder, to log it in
        OtherContainer,  // the password of a container written under another password
        TakeOutPassword, // a new password for files taken out re-encrypted
        Administrator,   // the administrator password
    };
    Kind kind = FolderLogin;
    QString title;
    QString folder; // the folder or file the password is for, as the user knows it
    QString hint;   // the hint stored with the password, shown to help the user
};

// What a new-password question asks for: a folder password (with the folder it is for) or the
// administrator password, with the hint to show first.
struct NewPasswordQuestion
{
    enum Kind
    {
        FolderPassword = 3,
        AdministratorPassword = 4,
    };
    Kind kind = FolderPassword;
    QString folder;      // the folder being registered
    QString initialHint; // prefilled in the hint box
    bool hintLocked = false;
};

// The take-out dialog: the items handed out and what the user did with them.
// The ways items are taken out of the store.
enum class TakeOutType
{
    Decrypted = 1,          // decrypted copies
    Encrypted = 2,          // the containers, still encrypted under the folder's key
    NewPassword = 3,        // containers encrypted again under another password
    DecryptedForMail = 4,   // decrypted copies for a mail
    NewPasswordForMail = 5, // containers under another password for a mail
    Unchanged = 6,          // the entries as they stand (the take-out-only state)
};

struct TakeOutDialogRequest
{
    TakeOutType type = TakeOutType::Decrypted;
    QStringList paths; // the prepared items
    QStringList kinds; // parallel: "1" folder, "0" file
    bool readOnly = false;
    QString root;
};
struct TakeOutDialogResult
{
    bool moved = false;          // the items were moved out (the dialog ended with OK)
    bool nothingToClean = false; // the items had vanished when the dialog opened
};

// A notice that offers "do not show this again".
struct NoticeQuestion
{
    QString message;
    QString checkText = QStringLiteral("これ以降は表示しない");
    bool yesNo = false; // the buttons read "はい" and "いいえ" instead of OK and cancel
};

// Questions that need a dialog rather than a message box. Operations ask through the installed
// PromptService: the window shows its real dialogs, tests answer from a script. Without one,
// every prompt is cancelled.
class PromptService
{
public:
    virtual ~PromptService();

    // A folder chooser. title is the instruction shown in it; caption and okText replace the
    // window title and the OK button text when not empty. Mode 2 offers no way to make a new
    // folder. The initial selection is path. 0 with the chosen folder, -1 when cancelled.
    virtual int BrowseForFolder(const QString& title, const QString& path, const QString& caption,
                                const QString& okText, int mode, QString* chosen);

    // Whether an item replaces the one of the same name; OverwriteCancel ends the operation.
    virtual OverwriteAnswer AskOverwrite(const OverwriteQuestion& question);

    // 0 with the password typed, -1 when cancelled. The caller wipes the text after use.
    virtual int AskPassword(const PasswordQuestion& question, QString* password);

    // 0 with a new password (typed twice and checked against the password rules) and its hint,
    // -1 when cancelled. The caller wipes the texts after use.
    virtual int AskNewPassword(const NewPasswordQuestion& question, QString* password, QString* hint);

    // Registering a folder on a network drive: 0 to go on, with readOnly telling whether the
    // user chose a read-only registration; -1 when cancelled.
    virtual int AskRemoteRegistration(bool* readOnly);

    // A confirmation that lists what it concerns (the roots of folders, for example) with one
    // button that goes on: 0 for that button, -1 for cancel.
    virtual int AskListConfirmation(const QString& title, const QString& text, const QString& list,
                                    const QString& buttonText);

    // The take-out dialog; -1 when it cannot be shown (nothing was handed out).
    virtual int ShowTakeOut(const TakeOutDialogRequest& request, TakeOutDialogResult* result);
    // Whether files taken out still encrypted keep their original names (0) or their generated
    // names (1): in and out. -1 when cancelled.
    virtual int AskTakeOutNaming(int* angoOutNameMode);
    // The password files are taken out under (a change password or a new one) with its hint,
    // and the naming as above. -1 when cancelled.
    virtual int AskTakeOutPassword(bool forMail, QString* password, QString* hint, int* angoOutNameMode);

    // The guidance of a first registration: 0 to create the default encrypted folder in the
    // documents folder, 1 to choose a folder, -1 when cancelled.
    virtual int AskFirstRegistration();
    // The guidance that follows a first registration (how to encrypt and open files).
    virtual void ShowEncryptionGuidance();

    // What to do with the administrator password: 0 register one (offered only when none is
    // registered, noPasswordYet), 1 change it, 2 delete it; -1 when cancelled.
    virtual int AskAdministratorAction(bool noPasswordYet);
    // The list of change passwords, read and written back with the administrator password given
    // (already verified): 0 after OK (the list was saved), -1 when cancelled.
    virtual int EditChangePasswords(const QString& adminPassword);

    // 0 for OK (or yes), -1 for cancel (or no); *dontShowAgain tells whether the box was ticked.
    virtual int ShowNotice(const NoticeQuestion& question, bool* dontShowAgain);

    // The process-wide service; nullptr restores the one that cancels.
    static void install(PromptService* service);
    static PromptService& instance();
};

// Asks the overwrite question unless *replaceAll is already set. "Yes to all" sets it and counts
// as yes, so the operation asks once and then replaces the rest. Gives OverwriteYes, OverwriteNo
// (skip this item) or OverwriteCancel.
OverwriteAnswer AskOverwriteOnce(const OverwriteQuestion& question, bool* replaceAll);

// A notice governed by a setting: shown only while *flag is 1; ticking "do not show again" sets
// *flag to 0. 0 to go on (also when nothing was shown), -1 when the user cancelled.
int ShowSettingNotice(int* flag, const QString& message, const QString& checkText);
