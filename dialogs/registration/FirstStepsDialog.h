#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;

// The guidance after the first registration: how to encrypt files and open them again.
class FirstStepsDialog : public OpeningDialog
{
public:
    explicit FirstStepsDialog(QWidget* parent = nullptr);

protected:
    bool initDialog() override;

private:
    QLabel* m_encryptText;
    QLabel* m_openText;
};
