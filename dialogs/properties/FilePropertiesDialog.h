#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <QIcon>

class QLabel;
class QLineEdit;

// The properties of an encrypted file. The caller gives every text and both icons; the two
// sizes are measured on the container.
class FilePropertiesDialog : public OpeningDialog
{
public:
    explicit FilePropertiesDialog(QWidget* parent = nullptr);

    QString displayName;
    QString typeName;
    QString programName;
    QString location;      // the folder that holds the container
    QString containerName; // its file name
    QString modifiedText;
    QString encryptedText;
    QString hint;
    QIcon fileIcon;
    QIcon programIcon;
    QString slot; // the key slot that reads the container's header

protected:
    bool initDialog() override;

private:
    QLabel* m_fileIcon;
    QLabel* m_programIcon;
    QLineEdit* m_name;
    QLineEdit* m_type;
    QLineEdit* m_program;
    QLineEdit* m_location;
    QLineEdit* m_container;
    QLineEdit* m_containerSize;
    QLineEdit* m_originalSize;
    QLineEdit* m_modified;
    QLineEdit* m_encrypted;
    QLineEdit* m_hint;
};
