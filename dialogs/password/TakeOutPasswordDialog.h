#pragma once

#include "dialogs/common/OpeningDialog.h"

class PasswordLineEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class StoreContext;

// Chooses the password files are taken out under (mode 3) or attached to mail under (mode 5):
// one of the registered change passwords, or a new one typed in clear. Also whether the files
// taken out keep their original names.
class TakeOutPasswordDialog : public OpeningDialog
{
public:
    explicit TakeOutPasswordDialog(QWidget* parent = nullptr);

    int mode = 3;
    StoreContext* store = nullptr;
    // In and out: 0 when the files taken out keep their original names.
    int angoOutNameMode = 0;

    // After OK.
    QString password;
    QString hint;

    void done(int result) override;

protected:
    bool initDialog() override;

private:
    void useRegistered(bool registered);
    void onOk();
    bool hintAcceptable(const QString& text, const QString& forPassword, QWidget* box);

    QRadioButton* m_registered;
    QRadioButton* m_new;
    QComboBox* m_names;
    QLineEdit* m_registeredHint;
    PasswordLineEdit* m_password;
    QLineEdit* m_newHint;
    QLabel* m_instruction;
    QCheckBox* m_keepNames;
    QStringList m_hints;
};
