#include "dialogs/settings/CheckBoxPage.h"

#include <QCheckBox>
#include <QVBoxLayout>

CheckBoxPage::CheckBoxPage(const QString& title, const QList<Binding>& bindings, QWidget* parent)
    : QWidget(parent), m_title(title), m_bindings(bindings)
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    for (const Binding& binding : m_bindings) {
        auto* box = new QCheckBox(QString::fromUtf16(binding.text));
        box->setObjectName(QLatin1String(binding.key));
        m_boxes.append(box);
        layout->addWidget(box);
    }
    layout->addStretch(1);
}

void CheckBoxPage::load(const SettingsRecord& record)
{
    m_record = record;
    for (qsizetype i = 0; i < m_bindings.size(); ++i) {
        const bool one = record.*(m_bindings.at(i).field) == 1;
        m_boxes.at(i)->setChecked(m_bindings.at(i).inverted ? !one : one);
    }
    m_loaded = true;
}

void CheckBoxPage::store(SettingsRecord& record) const
{
    if (!m_loaded) {
        return;
    }
    for (qsizetype i = 0; i < m_bindings.size(); ++i) {
        const bool ticked = m_boxes.at(i)->isChecked();
        record.*(m_bindings.at(i).field) = (m_bindings.at(i).inverted ? !ticked : ticked) ? 1 : 0;
    }
}

QCheckBox* CheckBoxPage::boxOf(const char* key) const
{
    for (qsizetype i = 0; i < m_bindings.size(); ++i) {
        if (qstrcmp(m_bindings.at(i).key, key) == 0) {
            return m_boxes.at(i);
        }
    }
    return nullptr;
}
