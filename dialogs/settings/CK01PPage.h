#pragma once

#include "dialogs/settings/CheckBoxPage.h"

// "表示設定": extensions in the contents list, the confirmation before encrypting a decrypted
// file back, the message when a read-only folder is logged in.
class CK01PPage : public CheckBoxPage
{
public:
    explicit CK01PPage(QWidget* parent = nullptr);
};
