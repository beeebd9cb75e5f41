#include "dialogs/settings/DisplaySettingsPage.h"

DisplaySettingsPage::DisplaySettingsPage(QWidget* parent)
    : CheckBoxPage(
          QStringLiteral("表示設定"),
          {
              {"TitleMode", u"ファイル／フォルダー 一覧で、登録されている拡張子は表示しない",
               &SettingsRecord::TitleMode, true},
              {"ReturnAngoMsgFlg", u"復号中ファイルの暗号化で確認メッセージを表示する",
               &SettingsRecord::ReturnAngoMsgFlg},
              {"ReadOnlyMsgDispFlg", u"読み取り専用の暗号フォルダーのログイン時にメッセージを表示する",
               &SettingsRecord::ReadOnlyMsgDispFlg},
          },
          parent)
{
}
