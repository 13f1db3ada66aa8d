#include "capture/monitorlayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace klavoro {

namespace {
qint64 area(const QRect& r) {
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// Squared distance from the point to the nearest pixel of the rectangle.
qint64 distance2(const QRect& r, QPoint p) {
    const qint64 dx = p.x() < r.left() ? r.left() - p.x() : p.x() > r.right() ? p.x() - r.right() : 0;
    const qint64 dy = p.y() < r.top() ? r.top() - p.y() : p.y() > r.bottom() ? p.y() - r.bottom() : 0;
    return dx * dx + dy * dy;
}

QRect nearest(const QList<QRect>& monitors, QPoint p) {
    QRect best;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& m : monitors) {
        if (m.isEmpty()) continue;
        if (const qint64 d = distance2(m, p); d < bestDistance) {
            bestDistance = d;
            best = m;
        }
    }
    return best;
}
} // namespace

QRect monitorAt(const QList<QRect>& monitors, QPoint p, const QRect& whole) {
    QRect best;
    for (const QRect& m : monitors)
        if (m.contains(p) && (best.isNull() || area(m) < area(best))) best = m;
    if (best.isNull()) best = nearest(monitors, p);
    return best.isNull() ? whole : best;
}

QRect monitorOfWindow(const QList<QRect>& monitors, const QRect& window, const QRect& whole) {
    QRect best;
    qint64 bestShare = 0;
    for (const QRect& m : monitors)
        if (const qint64 share = area(m.intersected(window)); share > bestShare) {
            bestShare = share;
            best = m;
        }
    return best.isNull() ? monitorAt(monitors, window.center(), whole) : best;
}

QRect primaryMonitor(const QList<QRect>& monitors, const QRect& whole) {
    for (const QRect& m : monitors)
        if (!m.isEmpty()) return m;
    return whole;
}

namespace {
QRect pixelsOf(const ScaledMonitor& m) {
    return QRect(m.logical.topLeft(), QSize(int(std::lround(m.logical.width() * m.scale)),
                                           int(std::lround(m.logical.height() * m.scale))));
}

const ScaledMonitor* holding(const QList<ScaledMonitor>& monitors, QPoint p, bool inPixels) {
    QList<QRect> rects;
    for (const ScaledMonitor& m : monitors)
        rects << (inPixels ? pixelsOf(m) : m.logical);
    const QRect chosen = monitorAt(rects, p, QRect());
    for (int i = 0; i < rects.size(); ++i)
        if (rects[i] == chosen) return &monitors[i];
    return nullptr;
}
} // namespace

QRect toLogical(const QList<ScaledMonitor>& monitors, const QRect& r) {
    const ScaledMonitor* m = holding(monitors, r.topLeft(), true);
    if (!m || m->scale <= 0) return r;
    const QPoint o = m->logical.topLeft();
    // Outwards, so that the result covers every pixel of `r` and a line just
    // outside it stays outside.
    const int left = o.x() + int(std::floor((r.x() - o.x()) / m->scale));
    const int top = o.y() + int(std::floor((r.y() - o.y()) / m->scale));
    const int right = o.x() + int(std::ceil((r.x() + r.width() - o.x()) / m->scale));
    const int bottom = o.y() + int(std::ceil((r.y() + r.height() - o.y()) / m->scale));
    return QRect(left, top, right - left, bottom - top);
}

QPoint toPixels(const QList<ScaledMonitor>& monitors, QPoint p) {
    const ScaledMonitor* m = holding(monitors, p, false);
    if (!m) return p;
    const QPoint o = m->logical.topLeft();
    return o + QPoint(int(std::lround((p.x() - o.x()) * m->scale)),
                      int(std::lround((p.y() - o.y()) * m->scale)));
}

} // namespace klavoro
