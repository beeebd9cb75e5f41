#pragma once

#include "dialogs/settings/CheckBoxPage.h"

// "表示設定": extensions in the contents list, the confirmation before encrypting a decrypted
// file back, the message when a read-only folder is logged in.
class DisplaySettingsPage : public CheckBoxPage
{
public:
    explicit DisplaySettingsPage(QWidget* parent = nullptr);
};
