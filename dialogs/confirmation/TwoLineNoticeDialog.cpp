#include "dialogs/confirmation/TwoLineNoticeDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TwoLineNoticeDialog::TwoLineNoticeDialog(QWidget* parent)
    : OpeningDialog(parent), m_text1(new QLabel), m_text2(new QLabel)
{
    m_text1->setObjectName(QStringLiteral("text1"));
    m_text2->setObjectName(QStringLiteral("text2"));
    for (QLabel* label : {m_text1, m_text2}) {
        label->setWordWrap(true);
        label->setMinimumWidth(360);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text1);
    layout->addSpacing(8);
    layout->addWidget(m_text2);
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

bool TwoLineNoticeDialog::initDialog()
{
    setWindowTitle(title);
    m_text1->setText(text1);
    m_text2->setText(text2);
    m_text2->setVisible(!text2.isEmpty());
    fitToContents();
    return true;
}
