#include "dialogs/settings/CKankyoSet.h"

#include "dialogs/settings/CK01PPage.h"
#include "dialogs/settings/CK02PPage.h"
#include "dialogs/settings/CK03PPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CKankyoSet::CKankyoSet(const RegisteredFolderTable& folders, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget), m_workingPage(new CK04PPage(folders))
{
    setWindowTitle(QStringLiteral("環境設定"));
    m_checkPages = {new CK01PPage, new CK02PPage, new CK03PPage};
    for (CheckBoxPage* page : m_checkPages) {
        m_tabs->addTab(page, page->title());
    }
    m_tabs->addTab(m_workingPage, m_workingPage->title());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CKankyoSet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CKankyoSet::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_opened) {
            loadPage(index);
        }
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void CKankyoSet::showEvent(QShowEvent* event)
{
    if (!m_opened) {
        m_opened = true;
        const int first = firstPage >= 0 && firstPage < m_tabs->count() ? firstPage : DisplayPage;
        m_tabs->setCurrentIndex(first);
        loadPage(first);
    }
    QDialog::showEvent(event);
}

void CKankyoSet::loadPage(int index)
{
    if (index >= 0 && index < m_checkPages.size()) {
        if (!m_checkPages.at(index)->isLoaded()) {
            m_checkPages.at(index)->load(values.settings);
        }
    } else if (index == WorkingFolderPage && !m_workingPage->isLoaded()) {
        m_workingPage->load(values.workingFolder);
    }
}

void CKankyoSet::accept()
{
    for (const CheckBoxPage* page : m_checkPages) {
        page->store(values.settings);
    }
    m_workingPage->store(values.workingFolder);
    firstPage = m_tabs->currentIndex();
    QDialog::accept();
}
