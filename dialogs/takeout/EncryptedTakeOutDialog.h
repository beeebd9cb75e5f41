#pragma once

#include "dialogs/common/OpeningDialog.h"

class QCheckBox;
struct SettingsRecord;

// Asked before items are taken out still encrypted: whether the containers handed out carry the
// items' own names. OK stores the choice in the setting AngoOutNameMode (0 own names, 1 not).
class EncryptedTakeOutDialog : public OpeningDialog
{
public:
    explicit EncryptedTakeOutDialog(SettingsRecord& settings, QWidget* parent = nullptr);

protected:
    bool initDialog() override;

private:
    SettingsRecord& m_settings;
    QCheckBox* m_useNames;
};
