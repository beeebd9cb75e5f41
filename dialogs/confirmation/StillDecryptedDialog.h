#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <QIcon>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// A confirmation that lists files still decrypted (closing the window, logging a folder out).
// The caller's button goes on with OK; "キャンセル", the default, keeps things as they are.
class StillDecryptedDialog : public OpeningDialog
{
public:
    explicit StillDecryptedDialog(QWidget* parent = nullptr);

    QString title;
    int iconKind = 32;
    QIcon icon;
    QString text;
    QString listText;
    QString buttonText;

protected:
    bool initDialog() override;

private:
    QLabel* m_icon;
    QLabel* m_text;
    QPlainTextEdit* m_list;
    QPushButton* m_go;
    QPushButton* m_cancel;
};
