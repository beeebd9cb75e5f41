#pragma once

#include "dialogs/common/OpeningDialog.h"

class PasswordLineEdit;
class QLabel;

// Asks for an existing password once: a folder's (mode 3), the administrator's (mode 4) or a
// single encrypted file's (any other mode). OK always closes; resultFlag tells whether the text
// could be a password at all, and the caller reports an invalid entry itself.
class PasswordEntryDialog : public OpeningDialog
{
public:
    explicit PasswordEntryDialog(QWidget* parent = nullptr);

    int mode = 3;
    QString subject; // the folder or file the password is for; shown below the text when set

    // After OK: the password (only when valid) and 0 valid, -1 invalid.
    QString password;
    int resultFlag = -1;

    void done(int result) override;

protected:
    bool initDialog() override;

private:
    PasswordLineEdit* m_password;
    QLabel* m_text;
    QLabel* m_subject;
};
