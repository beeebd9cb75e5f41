#include "dialogs/confirmation/ReplaceFolderDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/confirmation/OverwriteAnswers.h"
#include "util/MessageText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ReplaceFolderDialog::ReplaceFolderDialog(QWidget* parent)
    : OpeningDialog(parent), m_question(new QLabel), m_icon(new QLabel), m_note(new QLabel),
      m_yes(new QPushButton(QStringLiteral("はい"))),
      m_yesToAll(new QPushButton(QStringLiteral("すべて上書き"))),
      m_no(new QPushButton(QStringLiteral("いいえ"))), m_cancel(new QPushButton(QStringLiteral("キャンセル")))
{
    setWindowTitle(QStringLiteral("フォルダーの上書き確認"));
    m_question->setObjectName(QStringLiteral("question"));
    m_question->setWordWrap(true);
    m_question->setMinimumWidth(380);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_yes->setObjectName(QStringLiteral("yesButton"));
    m_yesToAll->setObjectName(QStringLiteral("yesToAllButton"));
    m_no->setObjectName(QStringLiteral("noButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addSpacing(10);
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_question);
    texts->addSpacing(6);
    texts->addWidget(m_note);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(OverwriteAnswers{m_yes, m_yesToAll, m_no, m_cancel}.row(this, &answer));
}

bool ReplaceFolderDialog::initDialog()
{
    answer = Cancel;
    OverwriteAnswers{m_yes, m_yesToAll, m_no, m_cancel}.prepare(single);
    m_question->setText(MsgA(498) + folderName + MsgA(499));
    m_note->setText(MsgA(500));
    ShowIcon(m_icon, icon);
    fitToContents();
    return true;
}
