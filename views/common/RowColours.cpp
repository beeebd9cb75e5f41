#include "views/common/RowColours.h"

#include <QEvent>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

const QColor PlainRed(255, 0, 0);
const QColor ChangedBlue(0, 0, 255);
const QColor ChangedGrey(240, 240, 240);

double linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

class PaletteWatch : public QObject
{
public:
    PaletteWatch(QWidget* view, std::function<void(const RowColours&)> apply)
        : QObject(view), m_view(view), m_apply(std::move(apply))
    {
        m_apply(RowColours::of(view->palette()));
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_view && event->type() == QEvent::PaletteChange) {
            m_apply(RowColours::of(m_view->palette()));
        }
        return false;
    }

private:
    QWidget* m_view;
    std::function<void(const RowColours&)> m_apply;
};

} // namespace

void FollowRowColours(QWidget* view, std::function<void(const RowColours&)> apply)
{
    new PaletteWatch(view, std::move(apply));
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

bool IsDarkPalette(const QPalette& palette)
{
    return luminance(palette.color(QPalette::Base)) < luminance(palette.color(QPalette::Text));
}

QColor LegibleOn(const QColor& wanted, const QColor& ground)
{
    if (ContrastRatio(wanted, ground) >= MinimumContrast) {
        return wanted;
    }
    const bool darkGround = luminance(ground) < 0.18;
    const QColor hsl = wanted.toHsl();
    // Lightness in steps of 1/100 towards white or black; at the end of the scale the
    // contrast is the largest the ground allows.
    for (int step = 1; step <= 100; ++step) {
        const float lightness = float(hsl.lightnessF() + (darkGround ? step : -step) / 100.0);
        const QColor candidate =
            QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), qBound(0.0f, lightness, 1.0f)).toRgb();
        if (ContrastRatio(candidate, ground) >= MinimumContrast) {
            return candidate;
        }
    }
    return darkGround ? QColor(Qt::white) : QColor(Qt::black);
}

RowColours RowColours::of(const QPalette& palette)
{
    if (!IsDarkPalette(palette)) {
        return {PlainRed, ChangedBlue, ChangedGrey};
    }
    const QColor ground = palette.color(QPalette::Base);
    // A palette whose alternate rows look like the others gets a lighter shade of its ground.
    const QColor alternate = palette.color(QPalette::AlternateBase);
    const QColor changedGround = alternate != ground ? alternate : ground.lighter(150);
    return {LegibleOn(PlainRed, ground), LegibleOn(ChangedBlue, changedGround), changedGround};
}
