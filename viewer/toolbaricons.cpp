#include "viewer/toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <initializer_list>

namespace {

// A closed outline through the given points.
QPainterPath Outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

} // namespace

QIcon OpenTableIcon()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // Back of the folder with its tab.
    const QColor folderDark(0xB0, 0x80, 0x20);
    const QColor folderLight(0xF2, 0xC8, 0x4B);
    p.setPen(QPen(folderDark, 1));
    p.setBrush(QColor(0xE0, 0xB0, 0x38));
    p.drawPath(
        Outline({{1.5, 5.5}, {7.5, 5.5}, {9.5, 7.5}, {17.5, 7.5}, {17.5, 19.5}, {1.5, 19.5}}));

    // The table sheet sticking out of the folder: a header row and ruled cells.
    p.setPen(QPen(QColor(0x50, 0x50, 0x60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 1.5, 14, 13));
    p.fillRect(QRectF(6, 2, 13, 3), QColor(0x3A, 0x6E, 0xC8));
    p.setPen(QPen(QColor(0x90, 0x98, 0xA8), 1));
    for (qreal y : {7.5, 10.0, 12.5}) {
        p.drawLine(QPointF(6.5, y), QPointF(18.5, y));
    }
    p.drawLine(QPointF(10.5, 5.5), QPointF(10.5, 14));

    // Front flap of the folder, opened towards the viewer.
    p.setPen(QPen(folderDark, 1));
    p.setBrush(folderLight);
    p.drawPath(Outline({{1.5, 19.5}, {4.5, 11.5}, {20.5, 11.5}, {17.5, 19.5}}));
    p.end();
    return QIcon(pixmap);
}
