#include "dialogs/common/TwoTextsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TwoTextsDialog::TwoTextsDialog(QWidget* parent)
    : OpeningDialog(parent), m_prompt(new QLabel), m_box1(new QLineEdit), m_box2(new QLineEdit)
{
    setWindowTitle(QStringLiteral("テキスト取得"));
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_prompt->setWordWrap(true);
    m_box1->setObjectName(QStringLiteral("text1"));
    m_box2->setObjectName(QStringLiteral("text2"));
    m_box1->setMinimumWidth(360);
    m_box1->setAccessibleName(QStringLiteral("テキスト 1"));
    m_box2->setAccessibleName(QStringLiteral("テキスト 2"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        text1 = m_box1->text();
        text2 = m_box2->text();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_box1);
    layout->addWidget(m_box2);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

bool TwoTextsDialog::initDialog()
{
    m_prompt->setText(prompt);
    if (!prompt.isEmpty()) {
        m_box1->setAccessibleName(prompt);
    }
    fitToContents();
    return true;
}
