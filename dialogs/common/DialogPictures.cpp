#include "dialogs/common/DialogPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor Outline(60, 70, 90);
const QColor Paper(250, 250, 252);
const QColor FolderFill(240, 196, 80);
const QColor LockFill(200, 60, 50);
const QColor ProductBlue(40, 90, 160);

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet of paper with a folded corner inside `r`.
void drawFile(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.3;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(Outline, 1.2));
    p.setBrush(Paper);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(215, 220, 230));
    p.drawPath(corner);
    p.setPen(QPen(QColor(150, 160, 180), 1));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 2; y += 4) {
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

// A folder with a tab inside `r`.
void drawFolder(QPainter& p, const QRectF& r)
{
    const qreal tab = r.height() * 0.22;
    QPainterPath back;
    back.moveTo(r.left(), r.top() + tab);
    back.lineTo(r.left(), r.top());
    back.lineTo(r.left() + r.width() * 0.4, r.top());
    back.lineTo(r.left() + r.width() * 0.5, r.top() + tab);
    back.lineTo(r.right(), r.top() + tab);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setPen(QPen(Outline, 1.2));
    p.setBrush(FolderFill.darker(115));
    p.drawPath(back);
    p.setBrush(FolderFill);
    p.drawRect(QRectF(r.left(), r.top() + tab * 1.8, r.width(), r.height() - tab * 1.8));
}

// A padlock inside `r`.
void drawLock(QPainter& p, const QRectF& r)
{
    const QRectF body(r.left(), r.top() + r.height() * 0.42, r.width(), r.height() * 0.58);
    p.setPen(QPen(Outline, qMax<qreal>(1.5, r.width() * 0.13)));
    p.setBrush(Qt::NoBrush);
    const qreal inset = r.width() * 0.2;
    p.drawArc(QRectF(r.left() + inset, r.top(), r.width() - 2 * inset, r.height() * 0.8), 0, 180 * 16);
    p.setPen(QPen(Outline, 1));
    p.setBrush(LockFill);
    p.drawRoundedRect(body, 2, 2);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(body.center().x(), body.center().y()), body.width() * 0.1, body.width() * 0.1);
}

void drawArrow(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(ProductBlue, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPolygonF head;
    head << to + d * 4 << to - d * 6 + n * 6 << to - d * 6 - n * 6;
    p.setBrush(ProductBlue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(head);
}

// A small application window with a file list.
void drawWindow(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Outline, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(ProductBlue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 8));
    p.setPen(QPen(QColor(180, 185, 200), 1));
    p.drawLine(QPointF(r.left() + r.width() * 0.3, r.top() + 8),
               QPointF(r.left() + r.width() * 0.3, r.bottom()));
    for (qreal y = r.top() + 16; y < r.bottom() - 4; y += 8) {
        p.drawLine(QPointF(r.left() + r.width() * 0.35, y), QPointF(r.right() - 6, y));
    }
}

} // namespace

QPixmap TakeOutIcon(int index)
{
    if (index < 0 || index > 5) {
        return QPixmap();
    }
    QPixmap pixmap = blank(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index % 3) {
    case 0:
        drawFile(p, QRectF(7, 2, 18, 24));
        drawFile(p, QRectF(11, 6, 18, 24));
        break;
    case 1:
        drawFolder(p, QRectF(2, 5, 28, 21));
        break;
    default:
        drawFolder(p, QRectF(1, 8, 24, 18));
        drawFile(p, QRectF(15, 3, 15, 20));
        break;
    }
    if (index >= 3) {
        drawLock(p, QRectF(1, 16, 13, 15));
    }
    return pixmap;
}

QPixmap ProductIcon(int size)
{
    QPixmap pixmap = blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // The storehouse: a roof over a white-walled body with a dark base.
    QPolygonF roof;
    roof << QPointF(2, 12) << QPointF(16, 3) << QPointF(30, 12);
    p.setPen(QPen(Outline, 1));
    p.setBrush(QColor(70, 70, 80));
    p.drawPolygon(roof);
    p.setBrush(QColor(248, 246, 238));
    p.drawRect(QRectF(5, 12, 22, 17));
    p.setBrush(ProductBlue);
    p.drawRect(QRectF(5, 24, 22, 5));
    drawLock(p, QRectF(11, 12, 10, 12));
    return pixmap;
}

QPixmap WaitPicture()
{
    QPixmap pixmap = blank(64, 64);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // An hourglass.
    p.setPen(QPen(Outline, 2));
    p.drawLine(QPointF(16, 8), QPointF(48, 8));
    p.drawLine(QPointF(16, 56), QPointF(48, 56));
    QPainterPath glass;
    glass.moveTo(20, 10);
    glass.lineTo(44, 10);
    glass.cubicTo(44, 24, 34, 28, 34, 32);
    glass.cubicTo(34, 36, 44, 40, 44, 54);
    glass.lineTo(20, 54);
    glass.cubicTo(20, 40, 30, 36, 30, 32);
    glass.cubicTo(30, 28, 20, 24, 20, 10);
    p.setBrush(QColor(225, 235, 250));
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 170, 60));
    QPolygonF sandTop;
    sandTop << QPointF(24, 18) << QPointF(40, 18) << QPointF(32, 29);
    p.drawPolygon(sandTop);
    QPolygonF sandBottom;
    sandBottom << QPointF(22, 53) << QPointF(42, 53) << QPointF(32, 44);
    p.drawPolygon(sandBottom);
    return pixmap;
}

QPixmap GuidancePicture(int index)
{
    QPixmap pixmap = blank(120, 80);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: // a file dragged into the list of the window
        drawFile(p, QRectF(4, 24, 22, 30));
        drawArrow(p, QPointF(30, 40), QPointF(52, 40));
        drawWindow(p, QRectF(60, 10, 56, 60));
        break;
    case 1: // the file is now encrypted
        drawFile(p, QRectF(40, 8, 36, 48));
        drawLock(p, QRectF(30, 40, 22, 28));
        break;
    case 2: { // a double click opens it
        drawFile(p, QRectF(10, 16, 30, 40));
        drawLock(p, QRectF(4, 42, 16, 20));
        drawArrow(p, QPointF(46, 40), QPointF(66, 40));
        drawWindow(p, QRectF(72, 14, 44, 52));
        QFont font = p.font();
        font.setPixelSize(10);
        p.setFont(font);
        p.setPen(Outline);
        p.drawText(QRectF(40, 60, 40, 16), Qt::AlignCenter, QStringLiteral("×2"));
        break;
    }
    case 3: // saving writes the changes back into the encrypted file
        drawWindow(p, QRectF(4, 14, 44, 52));
        drawArrow(p, QPointF(54, 40), QPointF(74, 40));
        drawFile(p, QRectF(82, 16, 30, 40));
        drawLock(p, QRectF(76, 42, 16, 20));
        break;
    default:
        return QPixmap();
    }
    return pixmap;
}
