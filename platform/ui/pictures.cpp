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
