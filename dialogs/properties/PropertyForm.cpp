#include "dialogs/properties/PropertyForm.h"

#include "util/SizeText.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Labels share one width, so the values of all groups of a sheet line up.
QLabel* rowLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setMinimumWidth(110);
    return label;
}

} // namespace

QLineEdit* AddPropertyRow(QFormLayout* form, const QString& label, const QString& objectName, QLabel* icon)
{
    auto* box = new QLineEdit;
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setFrame(false);
    box->setMinimumWidth(300);
    box->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    // A screen reader reads the box by its label, without the colon and the line break.
    box->setAccessibleName(QString(label).remove(QChar(0xFF1A)).remove(QLatin1Char('\n')));
    if (!icon) {
        form->addRow(rowLabel(label), box);
        return box;
    }
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(icon);
    row->addWidget(box, 1);
    form->addRow(rowLabel(label), row);
    return box;
}

QString SizeWithBytesText(qint64 size)
{
    return SizeText(size) + QStringLiteral("　（") + GroupedNumberText(size) + QStringLiteral(" バイト）");
}

QFrame* PropertySeparator()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLineEdit* AddPropertyHeader(QVBoxLayout* layout, QLabel* icon)
{
    auto* top = new QFormLayout;
    auto* name = new QLineEdit;
    name->setObjectName(QStringLiteral("name"));
    name->setReadOnly(true);
    name->setAccessibleName(QStringLiteral("名前"));
    top->addRow(icon, name);
    layout->addLayout(top);
    layout->addWidget(PropertySeparator());
    return name;
}
