#pragma once

#include "dialogs/common/OpeningDialog.h"
#include "util/OverwriteAnswer.h"

#include <QIcon>

class QLabel;
class QPushButton;

// "フォルダーの上書き確認": asks whether a folder is copied into an existing one of the same name.
class ReplaceFolderDialog : public OpeningDialog, public OverwriteAnswerNames
{
public:
    explicit ReplaceFolderDialog(QWidget* parent = nullptr);

    int single = 1;
    QString folderName;
    QIcon icon;

    int answer = Cancel;

protected:
    bool initDialog() override;

private:
    QLabel* m_question;
    QLabel* m_icon;
    QLabel* m_note;
    QPushButton* m_yes;
    QPushButton* m_yesToAll;
    QPushButton* m_no;
    QPushButton* m_cancel;
};
