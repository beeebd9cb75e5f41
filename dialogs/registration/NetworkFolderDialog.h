#pragma once

#include "dialogs/common/OpeningDialog.h"

class QCheckBox;
class QLabel;

// Registering a folder on a network drive: a warning about folders shared with others, and the
// choice of registering it read-only.
class NetworkFolderDialog : public OpeningDialog
{
public:
    explicit NetworkFolderDialog(QWidget* parent = nullptr);

    int iconKind = 64; // the information icon shows for 64

    // After OK: 1 when the folder is to be registered read-only.
    int readOnly = 1;

protected:
    bool initDialog() override;

private:
    QLabel* m_icon;
    QCheckBox* m_readOnly;
};
