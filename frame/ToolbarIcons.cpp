#include "frame/ToolbarIcons.h"

#include "frame/commands/CommandTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

constexpr int Size = 48; // drawn large, scaled down by the toolbar

const QColor Blue(40, 100, 180);
const QColor Gold(200, 150, 30);
const QColor Red(200, 50, 50);
const QColor Grey(90, 90, 90);

void drawLock(QPainter& p, const QRectF& body, const QColor& color, bool open)
{
    p.setPen(QPen(color, 4));
    p.setBrush(Qt::NoBrush);
    const qreal w = body.width() * 0.6;
    QRectF shackle(body.center().x() - w / 2, body.top() - w * 0.8, w, w * 1.3);
    if (open) {
        shackle.translate(w * 0.45, -4);
    }
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
    if (!open) {
        p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), body.top()));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(body, 4, 4);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& color)
{
    p.setPen(QPen(color, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPainterPath head;
    head.moveTo(to + d * 4);
    head.lineTo(to - d * 10 + n * 9);
    head.lineTo(to - d * 10 - n * 9);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

} // namespace

QIcon ToolbarIcon(int commandId)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(12, 22, 24, 20);
    switch (commandId) {
    case Command::Login:
        drawLock(p, body, Gold, true);
        break;
    case Command::Logout:
        drawLock(p, body, Blue, false);
        break;
    case Command::ReflectAll:
        drawLock(p, QRectF(20, 26, 22, 18), Blue, false);
        drawArrow(p, QPointF(4, 10), QPointF(18, 24), Gold);
        break;
    case Command::UpFolder:
        p.setPen(Qt::NoPen);
        p.setBrush(Gold);
        p.drawRoundedRect(QRectF(6, 20, 36, 22), 3, 3);
        p.drawRect(QRectF(6, 16, 14, 6));
        drawArrow(p, QPointF(24, 38), QPointF(24, 8), Blue);
        break;
    case Command::SwitchView:
        p.setPen(Qt::NoPen);
        p.setBrush(Grey);
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 2; ++c) {
                p.drawRect(QRectF(8 + c * 18, 8 + r * 18, 13, 13));
            }
        }
        break;
    case Command::Stop:
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawRoundedRect(QRectF(10, 10, 28, 28), 5, 5);
        break;
    case Command::ToggleDragEncrypted:
        drawLock(p, QRectF(6, 24, 20, 18), Blue, false);
        drawArrow(p, QPointF(24, 30), QPointF(42, 14), Grey);
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}
