#include "dialogs/settings/SettingsDialog.h"

#include "dialogs/settings/ActionSettingsPage.h"
#include "dialogs/settings/DisplaySettingsPage.h"
#include "dialogs/settings/FolderSettingsPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsDialog::SettingsDialog(const RegisteredFolderTable& folders, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget), m_workingPage(new WorkingFolderSettingsPage(folders))
{
    setWindowTitle(QStringLiteral("環境設定"));
    m_checkPages = {new DisplaySettingsPage, new ActionSettingsPage, new FolderSettingsPage};
    for (CheckBoxPage* page : m_checkPages) {
        m_tabs->addTab(page, page->title());
    }
    m_tabs->addTab(m_workingPage, m_workingPage->title());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_opened) {
            loadPage(index);
        }
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void SettingsDialog::showEvent(QShowEvent* event)
{
    if (!m_opened) {
        m_opened = true;
        const int first = firstPage >= 0 && firstPage < m_tabs->count() ? firstPage : DisplayPage;
        m_tabs->setCurrentIndex(first);
        loadPage(first);
    }
    QDialog::showEvent(event);
}

void SettingsDialog::loadPage(int index)
{
    if (index >= 0 && index < m_checkPages.size()) {
        if (!m_checkPages.at(index)->isLoaded()) {
            m_checkPages.at(index)->load(values.settings);
        }
    } else if (index == WorkingFolderPage && !m_workingPage->isLoaded()) {
        m_workingPage->load(values.workingFolder);
    }
}

void SettingsDialog::accept()
{
    for (const CheckBoxPage* page : m_checkPages) {
        page->store(values.settings);
    }
    m_workingPage->store(values.workingFolder);
    firstPage = m_tabs->currentIndex();
    QDialog::accept();
}
