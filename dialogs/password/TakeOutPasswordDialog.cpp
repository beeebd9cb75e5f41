#include "dialogs/password/TakeOutPasswordDialog.h"

#include "dialogs/password/PasswordWidgets.h"
#include "store/StoreContext.h"
#include "store/datafiles/CommonData1.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TakeOutPasswordDialog::TakeOutPasswordDialog(QWidget* parent)
    : OpeningDialog(parent),
      m_registered(new QRadioButton(QStringLiteral("登録済みの変更用パスワードを選択する"))),
      m_new(new QRadioButton(QStringLiteral("新しいパスワードを入力する"))), m_names(new QComboBox),
      m_registeredHint(new QLineEdit), m_password(new PasswordLineEdit(false)), m_newHint(new QLineEdit),
      m_instruction(new QLabel),
      m_keepNames(new QCheckBox(QStringLiteral("取り出す暗号ファイル名に元のファイル名を使用する")))
{
    setWindowTitle(QStringLiteral("暗号化のパスワード変更"));
    m_registered->setObjectName(QStringLiteral("registered"));
    m_new->setObjectName(QStringLiteral("new"));
    m_names->setObjectName(QStringLiteral("names"));
    m_names->setAccessibleName(QStringLiteral("識別名称"));
    m_registeredHint->setObjectName(QStringLiteral("registeredHint"));
    m_registeredHint->setAccessibleName(QStringLiteral("ヒント"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setAccessibleName(QStringLiteral("パスワード"));
    m_newHint->setObjectName(QStringLiteral("newHint"));
    m_newHint->setAccessibleName(QStringLiteral("ヒント"));
    m_instruction->setObjectName(QStringLiteral("instruction"));
    m_instruction->setWordWrap(true);
    m_keepNames->setObjectName(QStringLiteral("keepNames"));
    connect(m_registered, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            useRegistered(true);
        }
    });
    connect(m_new, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            useRegistered(false);
        }
    });
    connect(m_names, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_registeredHint->setText(m_hints.value(index)); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TakeOutPasswordDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* registered = new QFormLayout;
    registered->addRow(QStringLiteral("識別名称："), m_names);
    registered->addRow(QStringLiteral("ヒント："), m_registeredHint);
    auto* typed = new QFormLayout;
    typed->addRow(QStringLiteral("パスワード："), m_password);
    typed->addRow(QStringLiteral("ヒント："), m_newHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_instruction);
    layout->addWidget(m_registered);
    layout->addLayout(registered);
    layout->addWidget(m_new);
    layout->addLayout(typed);
    layout->addWidget(m_keepNames);
    layout->addWidget(buttons);
}

bool TakeOutPasswordDialog::initDialog()
{
    m_instruction->setText(MsgA(mode == 3 ? 482 : 483));
    m_registeredHint->setMaxLength(PasswordRules::MaxHintLength);
    m_newHint->setMaxLength(PasswordRules::MaxHintLength);
    m_names->clear();
    m_hints.clear();
    if (store) {
        CommonData1 common(store->engine(), store->dataFolder());
        int match = 0;
        if (common.Common1Exists() == 0) {
            if (common.LoadCommon1(QString(), 0, &match) != 0) {
                ShowMessage(MsgA(488), MessageStyle::warning());
            } else {
                for (const ChangePassword& entry : common.GetChangePasswords()) {
                    m_hints.append(entry.hint);
                    m_names->addItem(entry.name);
                }
            }
        }
    }
    m_names->setCurrentIndex(-1);
    m_registered->setChecked(true);
    useRegistered(true);
    if (m_names->count() == 0) {
        m_new->setChecked(true);
    }
    m_keepNames->setChecked(angoOutNameMode == 0);
    setMinimumWidth(460);
    fitToContents();
    return true;
}

void TakeOutPasswordDialog::useRegistered(bool registered)
{
    m_names->setEnabled(registered);
    m_registeredHint->setEnabled(registered);
    m_password->setEnabled(!registered);
    m_newHint->setEnabled(!registered);
}

bool TakeOutPasswordDialog::hintAcceptable(const QString& text, const QString& forPassword, QWidget* box)
{
    if (text.size() > PasswordRules::MaxHintLength) {
        WarnAndFocus(MsgA(494) + QString::number(PasswordRules::MaxHintLength) + MsgA(495), box);
        return false;
    }
    if (!text.isEmpty() && text == forPassword) {
        WarnAndFocus(MsgA(593), box);
        return false;
    }
    return true;
}

void TakeOutPasswordDialog::onOk()
{
    QString chosen;
    QString chosenHint;
    if (m_new->isChecked()) {
        chosen = m_password->text();
        chosenHint = m_newHint->text();
        if (chosen.size() < PasswordRules::MinLength || chosen.size() > PasswordRules::MaxLength) {
            return WarnAndFocus(MsgA(484) + PasswordRules::RangeText() + MsgA(485), m_password);
        }
        if (PasswordRules::PasswordCharsAllowed(chosen) != 0) {
            return WarnAndFocus(MsgA(486), m_password);
        }
        if (!hintAcceptable(chosenHint, chosen, m_newHint)) {
            return;
        }
    } else {
        const int index = m_names->currentIndex();
        if (index < 0) {
            return WarnAndFocus(MsgA(487), m_names);
        }
        if (!store) {
            return WarnAndFocus(MsgA(490), m_names);
        }
        CommonData1 common(store->engine(), store->dataFolder());
        int match = 0;
        if (common.Common1Exists() != 0) {
            return WarnAndFocus(MsgA(490), m_names);
        }
        if (common.LoadCommon1(QString(), 0, &match) != 0) {
            return WarnAndFocus(MsgA(491), m_names);
        }
        const QList<ChangePassword> entries = common.GetChangePasswords();
        if (index >= entries.size() || entries.at(index).name != m_names->currentText()) {
            return WarnAndFocus(MsgA(493), m_names);
        }
        chosen = entries.at(index).password;
        chosenHint = m_registeredHint->text();
        if (!hintAcceptable(chosenHint, chosen, m_registeredHint)) {
            return;
        }
    }
    password = chosen;
    hint = chosenHint;
    angoOutNameMode = m_keepNames->isChecked() ? 0 : 1;
    accept();
}

void TakeOutPasswordDialog::done(int result)
{
    WipePasswordBoxes(this);
    OpeningDialog::done(result);
}
