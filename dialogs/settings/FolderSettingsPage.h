#pragma once

#include "dialogs/settings/CheckBoxPage.h"

// "暗号フォルダー設定": automatic release of folders on removable disks. A click that leaves the
// box different from the stored setting says that it applies to folders registered from now on
//
class FolderSettingsPage : public CheckBoxPage
{
public:
    explicit FolderSettingsPage(QWidget* parent = nullptr);
};
