#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;
class QPushButton;

// What to do with the administrator password: register one, change it or delete it (with the
// change passwords it guards). Each button ends the dialog with its choice.
class AdministratorPasswordDialog : public OpeningDialog
{
public:
    enum Choice
    {
        Register = 0,
        Change = 1,
        Delete = 2,
    };

    explicit AdministratorPasswordDialog(QWidget* parent = nullptr);

    int noAdministratorPassword = 0; // 1: only registering is offered
    int choice = Register;           // after OK

protected:
    bool initDialog() override;

private:
    QPushButton* m_register;
    QPushButton* m_change;
    QPushButton* m_delete;
    QLabel* m_guide;
};
