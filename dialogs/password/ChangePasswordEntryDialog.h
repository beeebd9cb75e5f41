#pragma once

#include "dialogs/common/OpeningDialog.h"

class PasswordLineEdit;
class QLineEdit;
class StoreContext;
class StrengthMeter;

// Enters a new change password or edits one: its identification name, the password (shown in
// clear, since it is handed on to others) and a hint. OK checks every rule; the password must
// not be a folder's password or the administrator's.
class ChangePasswordEntryDialog : public OpeningDialog
{
public:
    explicit ChangePasswordEntryDialog(QWidget* parent = nullptr);

    int editFlag = 0; // 1: the fields below are the entry being edited
    QString name;
    QString password;
    QString hint;
    // The store whose folder and administrator passwords a change password must not repeat.
    StoreContext* store = nullptr;

    void done(int result) override;

protected:
    bool initDialog() override;

private:
    void onOk();

    QLineEdit* m_name;
    PasswordLineEdit* m_password;
    QLineEdit* m_hint;
    StrengthMeter* m_strength;
};
