#include "model/marker_strip.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QImage MakeStrip()
{
    QImage strip(kMarkerWidth * kMarkerCount, kMarkerHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor colours[kMarkerCount] = {QColor(90, 90, 90),  QColor(40, 120, 200), QColor(220, 120, 0),
                                          QColor(40, 150, 70), QColor(40, 150, 70),  QColor(120, 60, 170),
                                          QColor(200, 40, 40), QColor(90, 90, 90)};
    for (int i = 0; i < kMarkerCount; ++i) {
        const QRectF cell(i * kMarkerWidth + 0.5, 0.5, kMarkerWidth - 1, kMarkerHeight - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawRoundedRect(cell, 3, 3);
        p.setPen(QPen(Qt::white, 1.6));
        p.setBrush(Qt::NoBrush);
        const double x = cell.left(), y = cell.top();
        if (i == 2) {
            // A double arrow: text squeezed to its box.
            p.drawLine(QPointF(x + 3, y + 7), QPointF(x + 12, y + 7));
            p.drawPolyline(QPolygonF({QPointF(x + 6, y + 4), QPointF(x + 3, y + 7), QPointF(x + 6, y + 10)}));
            p.drawPolyline(QPolygonF({QPointF(x + 9, y + 4), QPointF(x + 12, y + 7), QPointF(x + 9, y + 10)}));
        } else if (i == 6) {
            // A question mark: asked for at print time.
            QPainterPath hook;
            hook.moveTo(x + 5, y + 5);
            hook.cubicTo(x + 5, y + 1.5, x + 11, y + 1.5, x + 11, y + 5);
            hook.cubicTo(x + 11, y + 7.5, x + 7.5, y + 7, x + 7.5, y + 9.5);
            p.drawPath(hook);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(x + 7.5, y + 12), 0.8, 0.8);
        } else {
            p.drawEllipse(QPointF(x + 7.5, y + 7), 2.5, 2.5);
        }
    }
    return strip;
}

}  // namespace

const QImage& MarkerStrip()
{
    static const QImage strip = MakeStrip();
    return strip;
}
