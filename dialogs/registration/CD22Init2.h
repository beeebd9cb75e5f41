#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;

// The guidance after the first registration: how to encrypt files and open them again.
class CD22Init2 : public OpeningDialog
{
public:
    explicit CD22Init2(QWidget* parent = nullptr);

protected:
    bool initDialog() override;

private:
    QLabel* m_encryptText;
    QLabel* m_openText;
};
