#include "views/common/FolderPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A padlock filling the rectangle; open shifts the shackle up and to one side.
void DrawPadlock(QPainter& painter, const QRectF& box, bool open, const QColor& colour)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const QRectF body(box.left(), box.top() + h * 0.45, w, h * 0.55);
    QPen pen(colour.darker(130), qMax<qreal>(1.5, w * 0.14));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QRectF shackle(box.left() + w * 0.2, box.top() + (open ? -h * 0.12 : 0), w * 0.6, h * 0.7);
    if (open) {
        shackle.translate(w * 0.3, 0);
    }
    QPainterPath arc;
    arc.moveTo(shackle.left(), shackle.center().y() + (open ? h * 0.02 : h * 0.12));
    arc.arcTo(shackle, 180, -180);
    arc.lineTo(shackle.right(), body.top());
    painter.drawPath(arc);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(body, w * 0.12, w * 0.12);
    painter.setBrush(colour.darker(180));
    painter.drawEllipse(QPointF(body.center().x(), body.center().y() - body.height() * 0.05), w * 0.09,
                        w * 0.09);
}

void DrawFolder(QPainter& painter, const QRectF& box)
{
    const QColor folder(0xE8, 0xB9, 0x4A);
    painter.setPen(QPen(folder.darker(140), 1));
    painter.setBrush(folder.darker(110));
    const QRectF tab(box.left(), box.top() + box.height() * 0.12, box.width() * 0.45, box.height() * 0.2);
    painter.drawRoundedRect(tab, 1.5, 1.5);
    painter.setBrush(folder);
    painter.drawRoundedRect(
        QRectF(box.left(), box.top() + box.height() * 0.25, box.width(), box.height() * 0.7), 2, 2);
}

QIcon FolderWithLock(bool open)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawFolder(painter, QRectF(0, 0, size * 0.9, size * 0.9));
        const qreal lock = size * 0.5;
        DrawPadlock(painter, QRectF(size - lock - 0.5, size - lock * 1.05 - 0.5, lock, lock), open,
                    open ? QColor(0x3C, 0x9A, 0x4A) : QColor(0xB0, 0x30, 0x30));
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon LoggedOutFolderIcon()
{
    static const QIcon icon = FolderWithLock(false);
    return icon;
}

QIcon LoggedInFolderIcon()
{
    static const QIcon icon = FolderWithLock(true);
    return icon;
}

QPixmap ListBackgroundPicture(ListBackground kind, const QSize& size, const QColor& base)
{
    if (kind == ListBackground::Plain || size.isEmpty()) {
        return QPixmap();
    }
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (kind == ListBackground::ReadOnly) {
        // A faint wash of the base colour towards grey tells the folder cannot be changed.
        pixmap.fill(base.lightness() > 128 ? base.darker(106) : base.lighter(125));
        return pixmap;
    }
    pixmap.fill(base);
    const qreal side = qMin(size.width(), size.height()) * 0.3;
    const QColor colour = base.lightness() > 128 ? base.darker(135) : base.lighter(170);
    DrawPadlock(painter, QRectF((size.width() - side) / 2, (size.height() - side) / 2, side, side), false,
                colour);
    return pixmap;
}
