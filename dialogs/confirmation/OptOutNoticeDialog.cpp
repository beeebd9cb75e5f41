#include "dialogs/confirmation/OptOutNoticeDialog.h"

#include "dialogs/common/DialogIcons.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

OptOutNoticeDialog::OptOutNoticeDialog(QWidget* parent)
    : OpeningDialog(parent), m_icon(new QLabel), m_message(new QLabel), m_check(new QCheckBox),
      m_ok(new QPushButton(QStringLiteral("OK"))), m_cancel(new QPushButton(QStringLiteral("キャンセル")))
{
    setWindowTitle(QStringLiteral("Kurabox"));
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setWordWrap(true);
    m_message->setMinimumWidth(400);
    m_check->setObjectName(QStringLiteral("dontShowAgain"));
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addWidget(m_message, 1);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(m_check);
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        dontShowAgain = m_check->isChecked() ? 1 : 0;
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool OptOutNoticeDialog::initDialog()
{
    m_message->setText(message);
    m_check->setText(checkText);
    m_check->setChecked(checked == 1);
    if (yesNo) {
        m_ok->setText(QStringLiteral("はい"));
        m_cancel->setText(QStringLiteral("いいえ"));
    }
    ShowIcon(m_icon, IconOfKind(iconKind, icon));
    // Without the second button the one button sits in the middle (the row is centred).
    m_cancel->setVisible(secondButton);
    m_cancel->setEnabled(secondButton);
    fitToContents();
    return true;
}
