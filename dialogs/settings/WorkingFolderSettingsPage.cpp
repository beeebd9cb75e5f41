#include "dialogs/settings/WorkingFolderSettingsPage.h"

#include "store/working/WorkingFolderLocation.h"
#include "util/MessageService.h"
#include "util/MessageText.h"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

WorkingFolderSettingsPage::WorkingFolderSettingsPage(const RegisteredFolderTable& folders, QWidget* parent)
    : QWidget(parent), m_folders(folders),
      m_default(new QRadioButton(QStringLiteral("標準の格納場所に作成する"))),
      m_specified(new QRadioButton(QStringLiteral("格納場所を指定する"))), m_path(new QLineEdit),
      m_browse(new QPushButton(QStringLiteral("参照"))), m_defaultPath(new QLineEdit)
{
    m_default->setObjectName(QStringLiteral("defaultLocation"));
    m_specified->setObjectName(QStringLiteral("specifiedLocation"));
    m_path->setObjectName(QStringLiteral("workingFolderPath"));
    m_browse->setObjectName(QStringLiteral("browse"));
    m_defaultPath->setObjectName(QStringLiteral("defaultWorkingFolder"));
    m_path->setReadOnly(true);
    m_defaultPath->setReadOnly(true);
    m_path->setMinimumWidth(320);
    auto* group = new QButtonGroup(this);
    group->addButton(m_default);
    group->addButton(m_specified);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 20);
    grid->addWidget(m_default, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("標準の格納場所：")), 1, 1);
    grid->addWidget(m_defaultPath, 1, 2);
    grid->addWidget(m_specified, 2, 0, 1, 3);
    grid->addWidget(m_path, 3, 1, 1, 2);
    grid->addWidget(m_browse, 3, 3);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    auto* guide =
        new QLabel(QStringLiteral("復号したファイルを一時的に保存する作業用フォルダーの場所を指定します。"));
    guide->setWordWrap(true);
    layout->addWidget(guide);
    layout->addLayout(grid);
    layout->addStretch(1);

    // clicked comes from the user only: setting the controls while loading checks nothing.
    connect(m_default, &QRadioButton::clicked, this, &WorkingFolderSettingsPage::defaultClicked);
    connect(m_specified, &QRadioButton::clicked, this, &WorkingFolderSettingsPage::specifiedClicked);
    connect(m_browse, &QPushButton::clicked, this, &WorkingFolderSettingsPage::browseClicked);
}

void WorkingFolderSettingsPage::load(const WorkingFolderChoice& choice)
{
    const bool byDefault = choice.AngoTempFolderFlg == QLatin1String("0");
    m_default->setChecked(byDefault);
    m_specified->setChecked(!byDefault);
    // With the default location the box shows an example of a place of one's own.
    m_path->setText(QDir::toNativeSeparators(byDefault ? SuggestedWorkingFolder() : choice.AngoTempFolder));
    m_byDefault = byDefault;
    enablePath(!byDefault);
    m_defaultPath->setText(QDir::toNativeSeparators(DefaultWorkingFolder()));
    m_loaded = true;
}

void WorkingFolderSettingsPage::store(WorkingFolderChoice& choice) const
{
    if (!m_loaded) {
        return;
    }
    if (m_default->isChecked()) {
        choice.AngoTempFolderFlg = QStringLiteral("0");
        choice.AngoTempFolder = DefaultWorkingFolder();
    } else {
        choice.AngoTempFolderFlg = QStringLiteral("1");
        choice.AngoTempFolder = QDir::fromNativeSeparators(m_path->text());
    }
}

void WorkingFolderSettingsPage::defaultClicked()
{
    if (m_byDefault) {
        return; // already the choice: nothing is left
    }
    stayUnlessFree(QDir::fromNativeSeparators(m_path->text()), m_specified, false);
}

void WorkingFolderSettingsPage::specifiedClicked()
{
    if (!m_byDefault) {
        return;
    }
    stayUnlessFree(DefaultWorkingFolder(), m_default, true);
}

void WorkingFolderSettingsPage::browseClicked()
{
    // The chooser refuses a folder in use itself and checks the place it is given.
    QString chosen;
    if (ChooseWorkingFolder(m_folders, QDir::fromNativeSeparators(m_path->text()), &chosen) == 0) {
        m_path->setText(QDir::toNativeSeparators(chosen));
    }
}

void WorkingFolderSettingsPage::stayUnlessFree(const QString& leaving, QRadioButton* previous, bool pathOn)
{
    QString list;
    if (WorkingFolderInUse(m_folders, leaving, &list) != 0) {
        previous->setChecked(true);
        previous->setFocus();
        ShowMessage(MsgA(326) + list, MessageStyle::warning());
        return;
    }
    m_byDefault = !pathOn;
    enablePath(pathOn);
}

void WorkingFolderSettingsPage::enablePath(bool on)
{
    m_path->setEnabled(on);
    m_browse->setEnabled(on);
}
