#include "dialogs/common/OpeningDialog.h"

#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>

OpeningDialog::OpeningDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool OpeningDialog::prepare()
{
    if (!m_prepared) {
        m_prepared = true;
        m_ended = !initDialog();
    }
    return !m_ended;
}

int OpeningDialog::exec()
{
    if (!prepare()) {
        return result();
    }
    return QDialog::exec();
}

void OpeningDialog::endAtOpening(DialogCode code)
{
    setResult(code);
}

void OpeningDialog::fitToContents()
{
    if (layout()) {
        layout()->activate();
    }
    setFixedSize(sizeHint());
}

void OpeningDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (enter && modifiers == Qt::NoModifier && focused && focused->isVisible() && focused->isEnabled()) {
        event->accept();
        focused->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
