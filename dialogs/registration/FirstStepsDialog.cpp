#include "dialogs/registration/FirstStepsDialog.h"

#include "dialogs/common/DialogPictures.h"
#include "util/MessageText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* picture(int index)
{
    auto* label = new QLabel;
    label->setPixmap(GuidancePicture(index));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

FirstStepsDialog::FirstStepsDialog(QWidget* parent)
    : OpeningDialog(parent), m_encryptText(new QLabel), m_openText(new QLabel)
{
    setWindowTitle(QStringLiteral("ガイダンス（暗号化手順）"));
    m_encryptText->setObjectName(QStringLiteral("encryptText"));
    m_openText->setObjectName(QStringLiteral("openText"));
    for (QLabel* text : {m_encryptText, m_openText}) {
        text->setWordWrap(true);
        text->setFixedWidth(300);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(16);
    grid->addWidget(picture(0), 0, 0);
    grid->addWidget(picture(1), 0, 1);
    grid->addWidget(m_encryptText, 0, 2);
    grid->addWidget(picture(2), 1, 0);
    grid->addWidget(picture(3), 1, 1);
    grid->addWidget(m_openText, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    layout->addLayout(bottom);
}

bool FirstStepsDialog::initDialog()
{
    m_encryptText->setText(MsgA(667) + QStringLiteral("Kurabox") + MsgA(668));
    m_openText->setText(MsgA(669) + QStringLiteral("Kurabox") + MsgA(670));
    fitToContents();
    return true;
}
