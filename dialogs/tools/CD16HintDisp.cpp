#include "dialogs/tools/CD16HintDisp.h"

#include "util/MessageText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CD16HintDisp::CD16HintDisp(QWidget* parent) : OpeningDialog(parent), m_text(new QLabel)
{
    setWindowTitle(QStringLiteral("ヒント確認ウィンドウ"));
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setFixedWidth(480);
}

bool CD16HintDisp::initDialog()
{
    m_text->setText(QStringLiteral("Kurabox") + MsgA(541));
    const QString areaText = MsgA(542);
    if (makeDropArea) {
        m_dropArea = makeDropArea(areaText, this);
    } else {
        auto* label = new QLabel(areaText, this);
        label->setFrameStyle(QFrame::Box | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        m_dropArea = label;
    }
    m_dropArea->setObjectName(QStringLiteral("dropArea"));
    m_dropArea->setAccessibleName(QStringLiteral("ヒントを確認する暗号ファイルのドロップ先"));
    m_dropArea->setAccessibleDescription(areaText);
    m_dropArea->setFixedSize(200, 80);
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addSpacing(10);
    layout->addWidget(m_dropArea, 0, Qt::AlignHCenter);
    layout->addSpacing(10);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    m_dropArea->raise();
    fitToContents();
    return true;
}
