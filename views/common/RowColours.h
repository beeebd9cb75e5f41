#pragma once

#include <QColor>

#include <functional>

class QPalette;
class QWidget;

// The colours that carry meaning in the list panes: plain (not encrypted) files in red, changed
// decrypted copies in blue on light grey. On a light palette they are exactly these; on a dark
// one (a window drawn lighter text on darker ground) each is replaced by a colour of the same
// hue that reads at least MinimumContrast against the ground it is drawn on, and the grey by
// the palette's alternate row colour (or, when that is the ground itself, a lighter shade).
struct RowColours
{
    QColor plainText;         // rows of plain files in the contents list
    QColor changedText;       // rows of changed copies in the decrypted-files list
    QColor changedBackground; // behind changedText

    static RowColours of(const QPalette& palette);
};

// Calls `apply` with the colours of the view's palette now, and again whenever the view's
// palette changes (a desktop switching between light and dark). Lives as long as the view.
void FollowRowColours(QWidget* view, std::function<void(const RowColours&)> apply);

// The least contrast ratio text must have against its ground (the ratio of relative
// luminances, from 1 for equal colours to 21 for black on white).
inline constexpr double MinimumContrast = 4.5;

double ContrastRatio(const QColor& a, const QColor& b);
// Whether the palette draws its lists with text lighter than their ground.
bool IsDarkPalette(const QPalette& palette);
// `wanted` when it reads on `ground`; otherwise the nearest colour of its hue, lightened on a
// dark ground and darkened on a light one, that reaches MinimumContrast.
QColor LegibleOn(const QColor& wanted, const QColor& ground);
