#include "vexa32/gui/beetleicon.h"

#include <QPainter>
#include <QPainterPath>

namespace Vexa32 {

QPixmap BeetlePixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32 x 32 grid and scaled.
    painter.scale(size / 32.0, size / 32.0);

    const QColor black(Qt::black);
    QPen leg(black, size >= 24 ? 1.6 : 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(leg);
    painter.setBrush(Qt::NoBrush);
    // Three legs on each side, bent at the knee.
    const qreal legY[3] = {13.5, 18.0, 22.5};
    const qreal kneeDx[3] = {-3.0, 0.0, 3.0};
    for (int i = 0; i < 3; ++i) {
        for (int side : {-1, 1}) {
            QPainterPath path;
            path.moveTo(16 + side * 5.5, legY[i]);
            path.lineTo(16 + side * 10.0, legY[i] + kneeDx[i] * 0.4);
            path.lineTo(16 + side * 13.0, legY[i] + kneeDx[i] + 2.0);
            painter.drawPath(path);
        }
    }
    // Antennae.
    for (int side : {-1, 1}) {
        QPainterPath path;
        path.moveTo(16 + side * 1.5, 6.0);
        path.quadTo(16 + side * 3.0, 2.0, 16 + side * 6.5, 1.5);
        painter.drawPath(path);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(black);
    painter.drawEllipse(QRectF(13.0, 4.5, 6.0, 5.0));   // head
    painter.drawEllipse(QRectF(11.0, 8.0, 10.0, 6.0));  // thorax
    painter.drawEllipse(QRectF(9.5, 12.0, 13.0, 17.5)); // wing cases

    // The seam between the wing cases and a faint sheen keep the shape readable.
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.9));
    painter.drawLine(QPointF(16.0, 13.0), QPointF(16.0, 28.5));
    if (size >= 24) {
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(11.5, 14.0, 8.0, 12.0), 100 * 16, 70 * 16);
    }
    painter.end();
    return pixmap;
}

QIcon BeetleIcon()
{
    QIcon icon;
    icon.addPixmap(BeetlePixmap(32));
    icon.addPixmap(BeetlePixmap(16));
    return icon;
}

} // namespace Vexa32
