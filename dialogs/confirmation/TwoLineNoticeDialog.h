#pragma once

#include "dialogs/common/OpeningDialog.h"

class QLabel;

// A notice of two texts with an OK button.
class TwoLineNoticeDialog : public OpeningDialog
{
public:
    explicit TwoLineNoticeDialog(QWidget* parent = nullptr);

    QString title;
    QString text1;
    QString text2;

protected:
    bool initDialog() override;

private:
    QLabel* m_text1;
    QLabel* m_text2;
};
