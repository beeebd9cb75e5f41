#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <QIcon>

class QCheckBox;
class QLabel;
class QPushButton;

// A notice with the box "これ以降は表示しない" (or another text): OK records whether the box was
// ticked, so that the caller can stop showing the notice.
class OptOutNoticeDialog : public OpeningDialog
{
public:
    explicit OptOutNoticeDialog(QWidget* parent = nullptr);

    QString message;
    QString checkText = QStringLiteral("これ以降は表示しない");
    int checked = 0;    // the box is ticked at opening when 1
    bool yesNo = false; // the buttons read "はい" and "いいえ"
    int iconKind = 64;  // DialogIconKind
    QIcon icon;         // for IconKindCustom
    bool secondButton = true;

    // After OK: 1 when the box was ticked, else 0.
    int dontShowAgain = 0;

protected:
    bool initDialog() override;

private:
    QLabel* m_icon;
    QLabel* m_message;
    QCheckBox* m_check;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
