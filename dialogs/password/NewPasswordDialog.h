#pragma once

#include "dialogs/common/OpeningDialog.h"

class PasswordLineEdit;
class QLabel;
class QLineEdit;
class StoreContext;
class StrengthMeter;

// Sets a new folder password (mode 3) or administrator password (mode 4): the password twice, a
// hint and the strength meter. OK checks the rules and asks a last question; only a password
// that passed everything leaves the dialog.
class NewPasswordDialog : public OpeningDialog
{
public:
    explicit NewPasswordDialog(QWidget* parent = nullptr);

    int mode = 3;
    QString folderPath;  // mode 3
    QString initialHint; // prefilled
    bool hintLocked = false;
    // The store whose change passwords a new password must not repeat; none: no such check.
    StoreContext* store = nullptr;

    // After OK.
    QString password;
    QString hint;

    void done(int result) override;

protected:
    bool initDialog() override;

private:
    void onOk();
    bool repeatsChangePassword(const QString& text) const;

    PasswordLineEdit* m_password;
    PasswordLineEdit* m_confirm;
    QLineEdit* m_hint;
    StrengthMeter* m_strength;
    QLabel* m_explanation;
    QLabel* m_folderLabel;
    QLineEdit* m_folder;
};
