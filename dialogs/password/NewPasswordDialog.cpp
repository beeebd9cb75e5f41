#include "dialogs/password/NewPasswordDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/password/PasswordWidgets.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData1.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
#include "views/common/FolderPictures.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NewPasswordDialog::NewPasswordDialog(QWidget* parent)
    : OpeningDialog(parent), m_password(new PasswordLineEdit(true)), m_confirm(new PasswordLineEdit(true)),
      m_hint(new QLineEdit), m_strength(new StrengthMeter), m_explanation(new QLabel),
      m_folderLabel(new QLabel(QStringLiteral("暗号フォルダー ："))), m_folder(new QLineEdit)
{
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setAccessibleName(QStringLiteral("パスワード"));
    m_confirm->setObjectName(QStringLiteral("confirm"));
    m_confirm->setAccessibleName(QStringLiteral("パスワード再確認"));
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setAccessibleName(QStringLiteral("パスワードのヒント"));
    m_folder->setObjectName(QStringLiteral("folder"));
    m_folder->setAccessibleName(QStringLiteral("暗号フォルダー"));
    m_folder->setReadOnly(true);
    m_folder->setMinimumWidth(380);
    m_explanation->setObjectName(QStringLiteral("explanation"));
    m_explanation->setWordWrap(true);
    connect(m_password, &QLineEdit::textChanged, m_strength, &StrengthMeter::showStrengthOf);

    auto* icon = new QLabel;
    ShowIcon(icon, LoggedOutFolderIcon());
    auto* notice = new QLabel(QStringLiteral(
        "注意）第三者も閲覧できますので、第三者がパスワードを推測できないヒントにしてください"));
    notice->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &NewPasswordDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(m_folderLabel, m_folder);
    form->addRow(QStringLiteral("パスワード ："), m_password);
    form->addRow(QStringLiteral("パスワード再確認 ："), m_confirm);
    form->addRow(QString(), m_strength);
    form->addRow(QStringLiteral("パスワードのヒント ：\n　（任意入力）"), m_hint);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(m_explanation, 1);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addWidget(notice);
    layout->addWidget(buttons);
}

bool NewPasswordDialog::initDialog()
{
    if (mode == 3) {
        setWindowTitle(MsgA(507));
        m_explanation->setText(MsgA(508));
        m_folder->setText(folderPath);
        m_folder->setCursorPosition(int(folderPath.size()));
    } else {
        setWindowTitle(MsgA(509));
        m_explanation->setText(MsgA(510));
        m_folderLabel->clear();
        m_folder->clear();
        m_folderLabel->hide();
        m_folder->hide();
    }
    m_hint->setMaxLength(PasswordRules::MaxHintLength);
    m_hint->setText(initialHint);
    m_hint->setEnabled(!hintLocked);
    m_password->setFocus();
    setMinimumWidth(520);
    fitToContents();
    return true;
}

bool NewPasswordDialog::repeatsChangePassword(const QString& text) const
{
    if (!store) {
        return false;
    }
    CommonData1 common(store->engine(), store->dataFolder());
    if (common.Common1Exists() != 0) {
        return false;
    }
    int match = 0;
    if (common.LoadCommon1(QString(), 0, &match) != 0) {
        return false; // a list that cannot be read does not stop a new password
    }
    for (const ChangePassword& entry : common.GetChangePasswords()) {
        if (entry.password == text) {
            return true;
        }
    }
    return false;
}

void NewPasswordDialog::onOk()
{
    const QString typed = m_password->text();
    const QString typedHint = m_hint->text();
    if (typed.size() < PasswordRules::MinLength || typed.size() > PasswordRules::MaxLength) {
        return WarnAndFocus(MsgA(511) + PasswordRules::RangeText() + MsgA(512), m_password);
    }
    if (PasswordRules::PasswordCharsAllowed(typed) != 0) {
        return WarnAndFocus(MsgA(513), m_password);
    }
    if (m_confirm->text() != typed) {
        return WarnAndFocus(MsgA(514), m_confirm);
    }
    if (repeatsChangePassword(typed)) {
        return WarnAndFocus(MsgA(520), m_password);
    }
    if (typedHint.size() > PasswordRules::MaxHintLength) {
        return WarnAndFocus(MsgA(515) + QString::number(PasswordRules::MaxHintLength) + MsgA(516), m_hint);
    }
    if (!typedHint.isEmpty() && typedHint == typed) {
        return WarnAndFocus(MsgA(593), m_hint);
    }
    const int question = PasswordRules::PasswordStrength(typed) < PasswordRules::WeakBelow ? 517
                         : mode == 3                                                       ? 518
                                                                                           : 519;
    if (!AskYesNo(MsgA(question))) {
        return;
    }
    password = typed;
    hint = typedHint;
    accept();
}

void NewPasswordDialog::done(int result)
{
    WipePasswordBoxes(this);
    OpeningDialog::done(result);
}
