#include "capture/drawing.h"

#include <QPainter>

namespace klavoro {

QColor colourFromBgr(qint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void drawMarker(QImage& picture, const ScreenRect& e, qint32 bgrColour, int width, int round) {
    if (picture.isNull()) return;
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(colourFromBgr(bgrColour));
    pen.setWidth(std::max(1, width));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The outline runs from (left - 1, top - 1) to (right + 1, bottom + 1),
    // the far edges excluded.
    const QRectF r(e.left - 1, e.top - 1, e.width() + 1, e.height() + 1);
    const qreal radius = std::max(0, round) / 2.0;
    p.drawRoundedRect(r, radius, radius);
}

void drawPointer(QImage& picture, const QImage& cursor, QPoint hotSpot, QPoint point) {
    if (picture.isNull() || cursor.isNull()) return;
    QPainter p(&picture);
    p.drawImage(point - hotSpot, cursor);
}

} // namespace klavoro
