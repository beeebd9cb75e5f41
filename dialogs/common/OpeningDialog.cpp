#include "dialogs/common/OpeningDialog.h"

#include <QLayout>

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
