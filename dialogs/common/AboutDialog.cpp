#include "dialogs/common/AboutDialog.h"

#include "dialogs/common/DialogPictures.h"
#include "store/settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

const QString AboutDialog::HomePage = QStringLiteral("https://kurabox.example/");

AboutDialog::AboutDialog(QWidget* parent) : OpeningDialog(parent), m_product(new QLabel), m_detail(new QLabel)
{
    setWindowTitle(QStringLiteral("Kurabox"));
    m_product->setObjectName(QStringLiteral("product"));
    m_detail->setObjectName(QStringLiteral("detail"));
    auto* icon = new QLabel;
    icon->setPixmap(ProductIcon(48));
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(HomePage));
    link->setObjectName(QStringLiteral("homePageLink"));
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    // The page opens through the desktop, as a double click on it in a file manager would.
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this,
            [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_product);
    texts->addWidget(m_detail);
    texts->addWidget(link);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

QString AboutDialog::VersionText()
{
    const QString version = QCoreApplication::applicationVersion();
    return QStringLiteral("V") + (version.isEmpty() ? SettingsVersion : version);
}

bool AboutDialog::initDialog()
{
    m_product->setText(QStringLiteral("Kurabox") + QStringLiteral("　") + QStringLiteral("Version ") +
                       VersionText().mid(1));
    m_detail->setText(QString());
    m_detail->setVisible(false);
    setMinimumWidth(320);
    fitToContents();
    return true;
}
