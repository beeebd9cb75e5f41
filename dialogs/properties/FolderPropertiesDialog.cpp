#include "dialogs/properties/FolderPropertiesDialog.h"

#include "dialogs/common/DialogIcons.h"
#include "dialogs/properties/PropertyForm.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/PathText.h"
#include "util/SizeText.h"
#include "util/TimeText.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

FolderPropertiesDialog::FolderPropertiesDialog(QWidget* parent) : OpeningDialog(parent), m_icon(new QLabel)
{
    setWindowTitle(QStringLiteral("プロパティ"));
    auto* layout = new QVBoxLayout(this);
    m_name = AddPropertyHeader(layout, m_icon);

    auto* form = new QFormLayout;
    m_type = AddPropertyRow(form, QStringLiteral("種類："), QStringLiteral("type"));
    m_location = AddPropertyRow(form, QStringLiteral("場所："), QStringLiteral("location"));
    m_size = AddPropertyRow(form, QStringLiteral("サイズ："), QStringLiteral("size"));
    m_contents = AddPropertyRow(form, QStringLiteral("内容："), QStringLiteral("contents"));
    layout->addLayout(form);
    layout->addWidget(PropertySeparator());
    auto* times = new QFormLayout;
    m_created = AddPropertyRow(times, QStringLiteral("作成日時："), QStringLiteral("created"));
    layout->addLayout(times);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

bool FolderPropertiesDialog::initDialog()
{
    setWindowTitle(name + QStringLiteral("のプロパティ"));
    ShowIcon(m_icon, icon);
    m_name->setText(name);
    m_type->setText(typeName);
    QString parent = DirectoryPart(path);
    if (parent.isEmpty()) {
        parent = QStringLiteral("/"); // a folder directly below the root
    }
    m_location->setText(QDir::toNativeSeparators(parent));

    if (DirectoryExists(path) != 0) {
        ShowMessage(MsgA(308) + QDir::toNativeSeparators(path), MessageStyle::error());
    } else if (!QFileInfo(path).isReadable()) {
        ShowMessage(MsgA(309) + QDir::toNativeSeparators(path), MessageStyle::error());
    } else {
        const FolderTotals totals = FolderStatistics(path);
        m_size->setText(SizeWithBytesText(totals.bytes));
        m_contents->setText(QStringLiteral("ファイル数：") + GroupedNumberText(totals.files) +
                            QStringLiteral("、フォルダー数：") + GroupedNumberText(totals.folders));
    }
    QString created;
    FindTimeText(path, FileTimeKind::Creation, &created);
    m_created->setText(created);
    for (QLineEdit* box : {m_name, m_type, m_location, m_size, m_contents, m_created}) {
        box->setCursorPosition(0);
    }
    fitToContents();
    return true;
}
