#pragma once

#include "dialogs/common/OpeningDialog.h"
#include "util/OverwriteAnswer.h"

#include <QIcon>

class QLabel;
class QPushButton;

// "ファイルの上書き確認": asks whether a new file replaces an existing one of the same name.
class ReplaceFileDialog : public OpeningDialog, public OverwriteAnswerNames
{
public:
    explicit ReplaceFileDialog(QWidget* parent = nullptr);

    // Fields set by the caller.
    int single = 1; // 1: only this item is concerned, so there is nothing to answer for all
    QString displayName;
    QString existingPath;
    QString newPath;
    bool existingIsContainer = false;
    bool newIsContainer = false;
    QString existingSlot; // key slots that read the containers' headers
    QString newSlot;
    QIcon icon;

    // The result: an OverwriteAnswer, Cancel also when the window is closed.
    int answer = Cancel;

protected:
    bool initDialog() override;

private:
    QLabel* m_question;
    QLabel* m_existingIcon;
    QLabel* m_existingText;
    QLabel* m_newIcon;
    QLabel* m_newText;
    QPushButton* m_yes;
    QPushButton* m_yesToAll;
    QPushButton* m_no;
    QPushButton* m_cancel;
};
