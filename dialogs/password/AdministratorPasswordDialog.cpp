#include "dialogs/password/AdministratorPasswordDialog.h"

#include "util/MessageText.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AdministratorPasswordDialog::AdministratorPasswordDialog(QWidget* parent)
    : OpeningDialog(parent), m_register(new QPushButton(QStringLiteral("新規登録"))),
      m_change(new QPushButton(QStringLiteral("変更"))), m_delete(new QPushButton(QStringLiteral("削除"))),
      m_guide(new QLabel)
{
    setWindowTitle(QStringLiteral("管理パスワードの設定"));
    m_register->setObjectName(QStringLiteral("register"));
    m_change->setObjectName(QStringLiteral("change"));
    m_delete->setObjectName(QStringLiteral("delete"));
    m_guide->setObjectName(QStringLiteral("guide"));
    m_guide->setWordWrap(true);
    const struct
    {
        QPushButton* button;
        Choice choice;
        const char16_t* text;
    } rows[] = {
        {m_register, Register, u"管理パスワードの新規登録を行います。"},
        {m_change, Change, u"管理パスワードの変更を行います。"},
        {m_delete, Delete,
         u"管理パスワードの削除を行います。\n管理パスワードで管理されている情報も全て削除されます。"},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const auto& entry : rows) {
        connect(entry.button, &QPushButton::clicked, this, [this, value = entry.choice] {
            choice = value;
            accept();
        });
        grid->addWidget(entry.button, row, 0, Qt::AlignTop);
        auto* text = new QLabel(QString::fromUtf16(entry.text));
        text->setWordWrap(true);
        grid->addWidget(text, row, 1);
        ++row;
    }
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_guide);
    layout->addLayout(grid);
    layout->addWidget(cancel, 0, Qt::AlignRight);
}

bool AdministratorPasswordDialog::initDialog()
{
    m_guide->setText(MsgA(537) + QStringLiteral("Kurabox") + MsgA(538));
    const bool none = noAdministratorPassword == 1;
    m_register->setEnabled(none);
    m_change->setEnabled(!none);
    m_delete->setEnabled(!none);
    setMinimumWidth(460);
    fitToContents();
    return true;
}
