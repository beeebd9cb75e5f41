#include "dialogs/settings/ActionSettingsPage.h"

#include "util/MessageService.h"

#include <QCheckBox>

ActionSettingsPage::ActionSettingsPage(QWidget* parent)
    : CheckBoxPage(
          QStringLiteral("動作設定"),
          {
              {"ExtNonAplFlg",
               u"拡張子に紐尽くアプリが無い場合に、「.txt」に紐尽くアプリを「プログラムから開く」に追加",
               &SettingsRecord::ExtNonAplFlg},
              {"OutsideReWriteSkipFlg",
               u"外部からの暗号化でファイル名、更新日時、サイズが同じなら上書きしない",
               &SettingsRecord::OutsideReWriteSkipFlg},
              {"OutsideDDMoveFlg", u"「暗号化したまま取り出し」画面でドラッグ＆ドロップでの移動を可能とする",
               &SettingsRecord::OutsideDDMoveFlg},
          },
          parent)
{
    connect(boxOf("OutsideDDMoveFlg"), &QCheckBox::clicked, this, [](bool ticked) {
        if (ticked) {
            ShowMessage(
                QStringLiteral("使用方法に関する注意）\n"
                               "取り出しの画面からのドラッグ＆ドロップの移動では、暗号フォルダー内への移動は"
                               "行なわないでください。不具合が発生する可能性があります。\n"
                               "取り出し画面は暗号フォルダーから取り出す機能ですので、暗号フォルダーの外へ"
                               "取り出す場合に使用してください。"),
                MessageStyle::information());
        }
    });
}
