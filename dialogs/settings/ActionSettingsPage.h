#pragma once

#include "dialogs/settings/CheckBoxPage.h"

// "動作設定": the ".txt" program offered for files without one, skipping identical files when
// encrypting in from outside, moving by drag and drop in the still-encrypted take-out screen.
// Ticking the last one explains how (not) to use it.
class ActionSettingsPage : public CheckBoxPage
{
public:
    explicit ActionSettingsPage(QWidget* parent = nullptr);
};
