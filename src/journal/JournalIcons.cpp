#include "JournalIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

const QColor kInk(60, 60, 60);
const QColor kPaper(255, 255, 255);

// A sheet with a folded corner, in a 16 x 16 box.
void sheet(QPainter &p, const QRectF &r)
{
    const qreal fold = r.width() * 0.35;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void lines(QPainter &p, const QRectF &r, int count)
{
    p.setPen(QPen(QColor(120, 140, 170), 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 6 + i * 2.5;
        if (y < r.bottom() - 1)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void star(QPainter &p, const QPointF &c, qreal radius)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal rr = (i % 2) ? radius * 0.45 : radius;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(170, 120, 0), 0.8));
    p.setBrush(QColor(255, 205, 40));
    p.drawPath(path);
}

void printer(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));            // paper in
    p.setBrush(QColor(150, 155, 165));
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1, 1); // body
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 9.5, 7, 5));            // paper out
    p.setPen(QPen(QColor(120, 140, 170), 1));
    p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
    p.drawLine(QPointF(6, 13), QPointF(10, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 180, 60));
    p.drawEllipse(QPointF(12.5, 7.5), 0.9, 0.9);
}

QPixmap draw(JournalIcons::Kind kind, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QRectF page(2.5, 1.5, 10, 13);
    switch (kind) {
    case JournalIcons::NewOrder:
        sheet(p, page);
        lines(p, page, 3);
        star(p, QPointF(11.5, 11.5), 4.2);
        break;
    case JournalIcons::EditOrder: {
        sheet(p, page);
        lines(p, page, 4);
        // A pencil across the sheet.
        p.translate(11, 9);
        p.rotate(45);
        p.setPen(QPen(QColor(120, 80, 0), 0.8));
        p.setBrush(QColor(240, 170, 40));
        p.drawRect(QRectF(-1.6, -6, 3.2, 8));
        p.setBrush(QColor(250, 220, 170));
        QPainterPath tip;
        tip.moveTo(-1.6, 2);
        tip.lineTo(1.6, 2);
        tip.lineTo(0, 5);
        tip.closeSubpath();
        p.drawPath(tip);
        break;
    }
    case JournalIcons::CopyOrder:
        sheet(p, QRectF(1.5, 0.5, 9, 11));
        lines(p, QRectF(1.5, 0.5, 9, 11), 2);
        sheet(p, QRectF(5.5, 4.5, 9, 11));
        lines(p, QRectF(5.5, 4.5, 9, 11), 3);
        break;
    case JournalIcons::DeleteOrder:
        sheet(p, page);
        lines(p, page, 4);
        p.setPen(QPen(QColor(200, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(14, 14));
        p.drawLine(QPointF(14, 8), QPointF(8, 14));
        break;
    case JournalIcons::Register:
        sheet(p, page);
        p.setPen(QPen(QColor(120, 140, 170), 1));
        for (int i = 0; i < 4; ++i) {
            const qreal y = 6 + i * 2.3;
            p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
        }
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(4.5, 13), QPointF(10.5, 13)); // the total
        break;
    case JournalIcons::Preview:
        sheet(p, page);
        lines(p, page, 4);
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(200, 225, 255, 200));
        p.drawEllipse(QPointF(9.5, 9.5), 3.2, 3.2);
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.9, 11.9), QPointF(14.5, 14.5));
        break;
    case JournalIcons::Print:
    case JournalIcons::Printed:
        printer(p);
        break;
    case JournalIcons::Settings: {
        p.translate(8, 8);
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(150, 155, 165));
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-1.4, -7.2, 2.8, 3));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 5.2, 5.2);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(0, 0), 2, 2);
        break;
    }
    case JournalIcons::Exit:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(165, 115, 70));
        p.drawRect(QRectF(2.5, 1.5, 7, 13)); // the door
        p.setBrush(QColor(230, 200, 60));
        p.drawEllipse(QPointF(8, 8), 0.8, 0.8);
        p.setPen(QPen(QColor(30, 130, 30), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 8), QPointF(15, 8));
        p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
        p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
        break;
    }
    return pm;
}

} // namespace

namespace JournalIcons {
QIcon icon(Kind kind)
{
    QIcon i;
    for (int size : {16, 24, 32})
        i.addPixmap(draw(kind, size));
    return i;
}
}
