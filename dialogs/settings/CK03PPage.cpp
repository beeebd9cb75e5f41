#include "dialogs/settings/CK03PPage.h"

#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QCheckBox>

CK03PPage::CK03PPage(QWidget* parent)
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
