#include "dialogs/takeout/EncryptedTakeOutDialog.h"

#include "store/settings/SettingsFile.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EncryptedTakeOutDialog::EncryptedTakeOutDialog(SettingsRecord& settings, QWidget* parent)
    : OpeningDialog(parent), m_settings(settings),
      m_useNames(new QCheckBox(QStringLiteral("取り出す暗号ファイル名に元のファイル名を使用する")))
{
    setWindowTitle(QStringLiteral("暗号化したまま取り出し"));
    m_useNames->setObjectName(QStringLiteral("useOriginalNames"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        m_settings.AngoOutNameMode = m_useNames->isChecked() ? 0 : 1;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("選択されたファイル／フォルダーを暗号化したまま取り出します。")));
    layout->addSpacing(10);
    layout->addWidget(m_useNames);
    layout->addSpacing(10);
    layout->addWidget(buttons);
}

bool EncryptedTakeOutDialog::initDialog()
{
    m_useNames->setChecked(m_settings.AngoOutNameMode == 0);
    fitToContents();
    return true;
}
