#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;
class QLineEdit;

// Asks for two texts under the caller's prompt.
class CD17Text : public OpeningDialog
{
public:
    explicit CD17Text(QWidget* parent = nullptr);

    QString prompt;

    // After OK: the texts of the two boxes.
    QString text1;
    QString text2;

protected:
    bool initDialog() override;

private:
    QLabel* m_prompt;
    QLineEdit* m_box1;
    QLineEdit* m_box2;
};
