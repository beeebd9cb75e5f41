#include "dialogs/properties/FilePropertiesDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/properties/PropertyForm.h"
#include "engine/ContainerCrypt.h"
#include "util/FileQueries.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

FilePropertiesDialog::FilePropertiesDialog(QWidget* parent)
    : OpeningDialog(parent), m_fileIcon(new QLabel), m_programIcon(new QLabel)
{
    setWindowTitle(QStringLiteral("プロパティ"));
    auto* layout = new QVBoxLayout(this);
    m_name = AddPropertyHeader(layout, m_fileIcon);

    auto* kind = new QFormLayout;
    m_type = AddPropertyRow(kind, QStringLiteral("ファイルの種類："), QStringLiteral("type"));
    m_program =
        AddPropertyRow(kind, QStringLiteral("プログラム："), QStringLiteral("program"), m_programIcon);
    layout->addLayout(kind);
    layout->addWidget(PropertySeparator());

    auto* place = new QFormLayout;
    m_location = AddPropertyRow(place, QStringLiteral("場所："), QStringLiteral("location"));
    m_container = AddPropertyRow(place, QStringLiteral("暗号ファイル名："), QStringLiteral("containerName"));
    m_containerSize =
        AddPropertyRow(place, QStringLiteral("暗号ファイルの\nサイズ："), QStringLiteral("containerSize"));
    m_originalSize = AddPropertyRow(place, QStringLiteral("元のサイズ："), QStringLiteral("originalSize"));
    layout->addLayout(place);
    layout->addWidget(PropertySeparator());

    auto* times = new QFormLayout;
    m_modified = AddPropertyRow(times, QStringLiteral("更新日時："), QStringLiteral("modified"));
    m_encrypted = AddPropertyRow(times, QStringLiteral("暗号化日時："), QStringLiteral("encrypted"));
    m_hint = AddPropertyRow(times, QStringLiteral("ヒント："), QStringLiteral("hint"));
    layout->addLayout(times);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

bool FilePropertiesDialog::initDialog()
{
    setWindowTitle(displayName + QStringLiteral("のプロパティ"));
    ShowIcon(m_fileIcon, fileIcon);
    ShowIcon(m_programIcon, programIcon, 16);
    m_name->setText(displayName);
    m_type->setText(typeName);
    m_program->setText(programName);
    m_location->setText(QDir::toNativeSeparators(location));
    m_container->setText(containerName);
    const QString container = location + QLatin1Char('/') + containerName;
    qint64 size = 0;
    m_containerSize->setText(FileSize(container, &size) == 0 ? SizeWithBytesText(size)
                                                             : QStringLiteral("不明"));
    ContainerInfo info;
    const bool readable =
        ContainerCrypt::instance().ReadContainerInfo(container, &info, slot, false) == 0 && info.keyMatched;
    m_originalSize->setText(readable ? SizeWithBytesText(info.plainSize) : QStringLiteral("不明"));
    m_modified->setText(modifiedText);
    m_encrypted->setText(encryptedText);
    m_hint->setText(hint);
    for (QLineEdit* box : {m_name, m_type, m_program, m_location, m_container, m_containerSize,
                           m_originalSize, m_modified, m_encrypted, m_hint}) {
        box->setCursorPosition(0);
    }
    fitToContents();
    return true;
}
