#include "dialogs/registration/NetworkFolderDialog.h"

#include "dialogs/common/DialogIcons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NetworkFolderDialog::NetworkFolderDialog(QWidget* parent)
    : OpeningDialog(parent), m_icon(new QLabel),
      m_readOnly(new QCheckBox(QStringLiteral("読み取り専用で暗号フォルダーを登録する")))
{
    setWindowTitle(QStringLiteral("暗号フォルダー登録設定"));
    m_readOnly->setObjectName(QStringLiteral("readOnly"));
    auto* warning = new QLabel(QStringLiteral(
        "ネットワークドライブ上のフォルダーを暗号フォルダーとして登録します。\n"
        "ほかの人と共有しているフォルダーでは、同じファイルを複数の人が同時に更新しないでください。\n"
        "同時に更新すると、変更した内容が失われることがあります。\n"
        "ファイルを見るだけの場合は、読み取り専用で登録してください。"));
    warning->setObjectName(QStringLiteral("warning"));
    warning->setWordWrap(true);
    warning->setMinimumWidth(540);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        readOnly = m_readOnly->isChecked() ? 1 : 0;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addWidget(warning, 1);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addWidget(m_readOnly);
    layout->addSpacing(10);
    layout->addWidget(buttons);
}

bool NetworkFolderDialog::initDialog()
{
    m_readOnly->setChecked(true);
    ShowIcon(m_icon, iconKind == IconKindInformation ? IconOfKind(IconKindInformation) : QIcon());
    m_icon->setVisible(iconKind == IconKindInformation);
    fitToContents();
    return true;
}
