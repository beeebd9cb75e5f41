#include "dialogs/password/ChangePasswordEntryDialog.h"

#include "dialogs/password/PasswordWidgets.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData1.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ChangePasswordEntryDialog::ChangePasswordEntryDialog(QWidget* parent)
    : OpeningDialog(parent), m_name(new QLineEdit), m_password(new PasswordLineEdit(false)),
      m_hint(new QLineEdit), m_strength(new StrengthMeter)
{
    setWindowTitle(QStringLiteral("変更用パスワード入力"));
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setAccessibleName(QStringLiteral("識別名称"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setAccessibleName(QStringLiteral("パスワード"));
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setAccessibleName(QStringLiteral("ヒント"));
    connect(m_password, &QLineEdit::textChanged, m_strength, &StrengthMeter::showStrengthOf);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordEntryDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("識別名称："), m_name);
    form->addRow(QString(), new QLabel(QStringLiteral(
                                "識別名称はパスワード変更画面で、パスワードの識別のために表示されます。")));
    form->addRow(QStringLiteral("パスワード："), m_password);
    form->addRow(QString(), m_strength);
    form->addRow(QStringLiteral("ヒント："), m_hint);
    auto* notice = new QLabel(
        QStringLiteral("注意）第三者も閲覧できますので、パスワードを推測できないヒントにしてください"));
    notice->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(notice);
    layout->addWidget(buttons);
}

bool ChangePasswordEntryDialog::initDialog()
{
    if (editFlag == 1) {
        m_name->setText(name);
        m_password->setText(password);
        m_hint->setText(hint);
    }
    m_hint->setMaxLength(PasswordRules::MaxHintLength);
    m_strength->showStrengthOf(m_password->text());
    m_name->setFocus();
    setMinimumWidth(480);
    fitToContents();
    return true;
}

void ChangePasswordEntryDialog::onOk()
{
    const QString typedName = m_name->text();
    const QString typed = m_password->text();
    const QString typedHint = m_hint->text();
    constexpr int NameChars = 48;
    if (typedName.size() > NameChars) {
        return WarnAndFocus(MsgA(525) + QString::number(NameChars) + MsgA(526), m_name);
    }
    if (typedName.isEmpty()) {
        return WarnAndFocus(MsgA(527), m_name);
    }
    if (typed.size() < PasswordRules::MinLength || typed.size() > PasswordRules::MaxLength) {
        return WarnAndFocus(MsgA(528) + PasswordRules::RangeText() + MsgA(529), m_password);
    }
    if (PasswordRules::PasswordCharsAllowed(typed) != 0) {
        return WarnAndFocus(MsgA(530), m_password);
    }
    if (typed == typedName) {
        return WarnAndFocus(MsgA(531), m_password);
    }
    if (store) {
        int match = 0;
        if (store->folders().PasswordMatchesAnyFolder(typed, &match) == 0 && match == 1) {
            return WarnAndFocus(MsgA(535), m_password);
        }
        CommonData1 common(store->engine(), store->dataFolder());
        match = 0;
        if (common.Common1Exists() == 0 && common.LoadCommon1(typed, 0, &match) == 0 && match == 1) {
            return WarnAndFocus(MsgA(536), m_password);
        }
    }
    if (typedHint.size() > PasswordRules::MaxHintLength) {
        return WarnAndFocus(MsgA(532) + QString::number(PasswordRules::MaxHintLength) + MsgA(533), m_hint);
    }
    if (!typedHint.isEmpty() && typedHint == typed) {
        return WarnAndFocus(MsgA(593), m_hint);
    }
    if (PasswordRules::PasswordStrength(typed) < PasswordRules::WeakBelow && !AskYesNo(MsgA(534))) {
        return;
    }
    name = typedName;
    password = typed;
    hint = typedHint;
    accept();
}

void ChangePasswordEntryDialog::done(int result)
{
    WipePasswordBoxes(this);
    OpeningDialog::done(result);
}
