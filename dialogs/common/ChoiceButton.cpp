#include "dialogs/common/ChoiceButton.h"

#include <QAbstractButton>
#include <QDialog>

void RecordChoiceOnClick(QDialog* dialog, QAbstractButton* button, int* field, int value)
{
    QObject::connect(button, &QAbstractButton::clicked, dialog, [dialog, field, value] {
        *field = value;
        dialog->accept();
    });
}
