#include "dialogs/confirmation/StillDecryptedDialog.h"

#include "dialogs/common/DialogIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

StillDecryptedDialog::StillDecryptedDialog(QWidget* parent)
    : OpeningDialog(parent), m_icon(new QLabel), m_text(new QLabel), m_list(new QPlainTextEdit),
      m_go(new QPushButton), m_cancel(new QPushButton(QStringLiteral("キャンセル")))
{
    setWindowTitle(QStringLiteral("XX確認"));
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_list->setFixedSize(440, 140);
    m_list->setAccessibleName(QStringLiteral("対象の一覧"));
    m_go->setObjectName(QStringLiteral("goButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addWidget(m_text, 1);
    layout->addLayout(top);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_go);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    m_go->setAutoDefault(false);
    m_cancel->setDefault(true);
    connect(m_go, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool StillDecryptedDialog::initDialog()
{
    setWindowTitle(title);
    ShowIcon(m_icon, IconOfKind(iconKind, icon));
    m_text->setText(text);
    m_list->setPlainText(listText);
    m_list->setAccessibleDescription(text);
    m_go->setText(buttonText);
    m_cancel->setFocus();
    fitToContents();
    return true;
}
