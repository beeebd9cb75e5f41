#pragma once

#include <QIcon>

class QLabel;

// The icon kinds a caller hands to a dialog: the stock message icons, or its own icon.
enum DialogIconKind
{
    IconKindError = 16,
    IconKindQuestion = 32,
    IconKindWarning = 48,
    IconKindInformation = 64,
    IconKindCustom = 999,
};

// The stock icon of the kind, `custom` for IconKindCustom, no icon for anything else.
QIcon IconOfKind(int kind, const QIcon& custom = QIcon());
// Shows the icon in the label at size × size pixels (an empty label for no icon).
void ShowIcon(QLabel* label, const QIcon& icon, int size = 32);
