#include "dialogs/confirmation/ReplaceFileDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/confirmation/EntryDescription.h"
#include "dialogs/confirmation/OverwriteAnswers.h"
#include "util/MessageText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QHBoxLayout* iconRow(QLabel* icon, QLabel* text)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(16, 0, 0, 0);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(8);
    row->addWidget(text, 1);
    return row;
}

} // namespace

ReplaceFileDialog::ReplaceFileDialog(QWidget* parent)
    : OpeningDialog(parent), m_question(new QLabel), m_existingIcon(new QLabel), m_existingText(new QLabel),
      m_newIcon(new QLabel), m_newText(new QLabel), m_yes(new QPushButton(QStringLiteral("はい"))),
      m_yesToAll(new QPushButton(QStringLiteral("すべて上書き"))),
      m_no(new QPushButton(QStringLiteral("いいえ"))), m_cancel(new QPushButton(QStringLiteral("キャンセル")))
{
    setWindowTitle(QStringLiteral("ファイルの上書き確認"));
    m_question->setObjectName(QStringLiteral("question"));
    m_question->setWordWrap(true);
    m_question->setMinimumWidth(400);
    m_existingText->setObjectName(QStringLiteral("existingDescription"));
    m_newText->setObjectName(QStringLiteral("newDescription"));
    m_yes->setObjectName(QStringLiteral("yesButton"));
    m_yesToAll->setObjectName(QStringLiteral("yesToAllButton"));
    m_no->setObjectName(QStringLiteral("noButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_question);
    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("現在のファイル")));
    layout->addLayout(iconRow(m_existingIcon, m_existingText));
    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("に、次の新しいファイルを上書きしますか？")));
    layout->addLayout(iconRow(m_newIcon, m_newText));
    layout->addSpacing(10);
    layout->addLayout(OverwriteAnswers{m_yes, m_yesToAll, m_no, m_cancel}.row(this, &answer));
}

bool ReplaceFileDialog::initDialog()
{
    answer = Cancel;
    OverwriteAnswers{m_yes, m_yesToAll, m_no, m_cancel}.prepare(single);
    m_question->setText(MsgA(496) + displayName + MsgA(497));
    ShowIcon(m_existingIcon, icon);
    ShowIcon(m_newIcon, icon);
    m_existingText->setText(EntryDescription(existingPath, existingIsContainer, existingSlot));
    m_newText->setText(EntryDescription(newPath, newIsContainer, newSlot));
    fitToContents();
    return true;
}
