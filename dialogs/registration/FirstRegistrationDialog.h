#pragma once

#include "dialogs/common/OpeningDialog.h"

// The first-registration guidance: create the default encrypted folder in the documents folder
// (choice 0) or choose a folder to register (choice 1).
class FirstRegistrationDialog : public OpeningDialog
{
public:
    enum Choice
    {
        CreateInDocuments = 0,
        ChooseFolder = 1,
    };

    explicit FirstRegistrationDialog(QWidget* parent = nullptr);

    int choice = CreateInDocuments;

protected:
    bool initDialog() override;
};
