#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <QIcon>

class QLabel;
class QLineEdit;

// The properties of a folder: where it is, what it holds and when it was made.
class FolderPropertiesDialog : public OpeningDialog
{
public:
    explicit FolderPropertiesDialog(QWidget* parent = nullptr);

    QString name;     // as shown to the user
    QString typeName; // "ファイル フォルダー"
    QString path;     // the folder on disk
    QIcon icon;

protected:
    bool initDialog() override;

private:
    QLabel* m_icon;
    QLineEdit* m_name;
    QLineEdit* m_type;
    QLineEdit* m_location;
    QLineEdit* m_size;
    QLineEdit* m_contents;
    QLineEdit* m_created;
};
