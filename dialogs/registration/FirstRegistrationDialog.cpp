#include "dialogs/registration/FirstRegistrationDialog.h"

#include "dialogs/common/ChoiceButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FirstRegistrationDialog::FirstRegistrationDialog(QWidget* parent) : OpeningDialog(parent)
{
    setWindowTitle(QStringLiteral("ガイダンス（初期設定）"));
    auto* create =
        new QPushButton(QStringLiteral("マイドキュメントに暗号フォルダーを作成する （初めての方にお勧め）"));
    auto* choose = new QPushButton(QStringLiteral("暗号フォルダーを選択して登録する"));
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    create->setObjectName(QStringLiteral("createButton"));
    choose->setObjectName(QStringLiteral("chooseButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton* button : {create, choose}) {
        button->setMinimumHeight(40);
        button->setMinimumWidth(480);
        button->setAutoDefault(false);
    }
    create->setDefault(true);
    RecordChoiceOnClick(this, create, &choice, CreateInDocuments);
    RecordChoiceOnClick(this, choose, &choice, ChooseFolder);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(create);
    layout->addSpacing(6);
    layout->addWidget(choose);
    layout->addSpacing(12);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
}

bool FirstRegistrationDialog::initDialog()
{
    fitToContents();
    return true;
}
