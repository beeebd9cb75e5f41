#include "frame/BusyAnimation.h"

#include <QPainter>

QPixmap BusyAnimation::frame(int number, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1.5, 1.5, size - 3.0, size - 3.0);
    if (number <= 0) {
        // At rest: a closed padlock-blue ring.
        painter.setPen(QPen(QColor(70, 110, 170), 2.0));
        painter.drawEllipse(box);
        return pixmap;
    }
    constexpr int Segments = 15;
    for (int i = 0; i < Segments; ++i) {
        const int distance = (i - (number - 1) + Segments) % Segments;
        const int alpha = distance == 0 ? 255 : qMax(40, 200 - distance * 30);
        painter.setPen(QPen(QColor(40, 120, 200, alpha), 2.2, Qt::SolidLine, Qt::FlatCap));
        const int span = 16 * 360 / Segments;
        painter.drawArc(box, 90 * 16 - i * span, -(span - 6));
    }
    return pixmap;
}
