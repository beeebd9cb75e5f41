#include "dialogs/confirmation/OverwriteAnswers.h"

#include "dialogs/common/ChoiceButton.h"
#include "util/OverwriteAnswer.h"

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
    } choices[] = {
        {yes, OverwriteYes}, {yesToAll, OverwriteYesToAll}, {no, OverwriteNo}, {cancel, OverwriteCancel}};
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
