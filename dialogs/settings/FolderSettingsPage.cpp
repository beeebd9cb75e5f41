#include "dialogs/settings/FolderSettingsPage.h"

#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QCheckBox>

FolderSettingsPage::FolderSettingsPage(QWidget* parent)
    : CheckBoxPage(QStringLiteral("暗号フォルダー設定"),
                   {
                       {"UsbAutoKaijyoFlg", u"リムーバルディスクの暗号フォルダーを自動解除させる",
                        &SettingsRecord::UsbAutoKaijyoFlg},
                   },
                   parent)
{
    connect(boxOf("UsbAutoKaijyoFlg"), &QCheckBox::clicked, this, [this](bool ticked) {
        if (ticked != (loaded().UsbAutoKaijyoFlg == 1)) {
            ShowMessage(MsgA(548), MessageStyle::information());
        }
    });
}
