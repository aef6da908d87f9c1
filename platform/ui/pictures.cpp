// The programs' own pictures, drawn with QPainter.
#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Pictures
{

namespace
{
QPixmap canvas(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QIcon checkMark()
{
    QPixmap pixmap = canvas(18, 19);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({{2.5, 10.0}, {7.0, 15.0}, {15.5, 3.5}}));
    return QIcon(pixmap);
}

QIcon redCross()
{
    QPixmap pixmap = canvas(18, 18);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(14.5, 14.5));
    painter.drawLine(QPointF(14.5, 3.5), QPointF(3.5, 14.5));
    return QIcon(pixmap);
}

QIcon retry()
{
    QPixmap pixmap = canvas(18, 18);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(3, 3, 12, 12), 60 * 16, 280 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawPolygon(QPolygonF({{10.0, 0.5}, {16.0, 4.0}, {10.0, 7.5}}));
    return QIcon(pixmap);
}

QIcon ignore()
{
    // A runner stepping over an obstacle reads poorly at this size; an
    // arrow jumping over a bar says the same.
    QPixmap pixmap = canvas(18, 18);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 2.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(9, 10), QPointF(9, 17));
    painter.setPen(QPen(QColor(0, 0, 160), 2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath jump;
    jump.moveTo(2, 14);
    jump.cubicTo(4, 2, 13, 2, 15, 12);
    painter.drawPath(jump);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 160));
    painter.drawPolygon(QPolygonF({{12.0, 11.0}, {17.5, 10.0}, {15.5, 15.5}}));
    return QIcon(pixmap);
}

QIcon help()
{
    QPixmap pixmap = canvas(18, 18);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.setBrush(QColor(255, 255, 0));
    painter.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    QFont font = painter.font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(1.5, 1.5, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pixmap);
}

QIcon programIcon()
{
    // A calendar leaf with a bell: the day that rings.
    QPixmap pixmap = canvas(32, 32);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 5.5, 25, 23));
    painter.setBrush(QColor(0, 0, 255));
    painter.drawRect(QRectF(3.5, 5.5, 25, 7));
    painter.setBrush(QColor(255, 200, 0));
    QPainterPath bell;
    bell.moveTo(10, 25);
    bell.cubicTo(11, 15, 21, 15, 22, 25);
    bell.closeSubpath();
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(16, 26), 1.8, 1.8);
    return QIcon(pixmap);
}

} // namespace Pictures
