#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;
class QLineEdit;

// Asks for two texts under the caller's prompt.
class TwoTextsDialog : public OpeningDialog
{
public:
    explicit TwoTextsDialog(QWidget* parent = nullptr);

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
