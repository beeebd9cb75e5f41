#include "dialogs/password/PasswordEntryDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/password/PasswordWidgets.h"
#include "util/MessageText.h"
#include "util/PasswordRules.h"
#include "views/common/FolderPictures.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PasswordEntryDialog::PasswordEntryDialog(QWidget* parent)
    : OpeningDialog(parent), m_password(new PasswordLineEdit(true)),
      m_text(new QLabel(QStringLiteral("この暗号フォルダーのパスワードを入力してください。"))),
      m_subject(new QLabel)
{
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setAccessibleName(QStringLiteral("パスワード"));
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_subject->setObjectName(QStringLiteral("subject"));
    m_subject->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* icon = new QLabel;
    ShowIcon(icon, LoggedInFolderIcon());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        resultFlag = -1;
        const QString typed = m_password->text();
        if (PasswordRules::IsValidPassword(typed)) {
            password = typed;
            resultFlag = 0;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_text);
    texts->addWidget(m_subject);
    texts->addWidget(m_password);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

bool PasswordEntryDialog::initDialog()
{
    const int title = mode == 3 ? 501 : mode == 4 ? 503 : 505;
    setWindowTitle(MsgA(title));
    m_text->setText(MsgA(title + 1));
    m_subject->setText(subject);
    m_subject->setVisible(!subject.isEmpty());
    m_password->setFocus();
    setMinimumWidth(420);
    fitToContents();
    return true;
}

void PasswordEntryDialog::done(int result)
{
    WipePasswordBoxes(this);
    OpeningDialog::done(result);
}
