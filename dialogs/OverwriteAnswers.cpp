#include "dialogs/OverwriteAnswers.h"

#include "dialogs/ChoiceButton.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* OverwriteAnswers::row(QDialog* dialog, int* answer) const
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const struct
    {
        QPushButton* button;
        int value;
    } choices[] = {{yes, 1}, {yesToAll, 2}, {no, 3}, {cancel, 0}};
    for (const auto& choice : choices) {
        choice.button->setAutoDefault(false);
        buttons->addWidget(choice.button);
        RecordChoiceOnClick(dialog, choice.button, answer, choice.value);
    }
    return buttons;
}

void OverwriteAnswers::prepare(int single) const
{
    yesToAll->setVisible(single != 1);
    cancel->setVisible(single != 1);
    yes->setDefault(true);
}
