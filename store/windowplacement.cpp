#include "store/windowplacement.h"

#include "capture/monitorlayout.h"

#include <algorithm>
#include <limits>

namespace klavoro {

WindowRect defaultWindowRect(QSize screen) {
    return defaultWindowRect(QRect(QPoint(0, 0), screen));
}

WindowRect defaultWindowRect(const QRect& m) {
    const int right = m.x() + m.width(), bottom = m.y() + m.height();
    return {right - 520, bottom - 430, right - 20, bottom - 30};
}

namespace {
// 64-bit so that edges from a hand-edited file cannot overflow.
void pull(qint32 low, qint32 high, int screenStart, int screenExtent, qint32* outLow,
          qint32* outHigh) {
    const qint64 size =
        std::clamp<qint64>(qint64(high) - low, 0, std::numeric_limits<qint32>::max());
    const qint64 pos = std::max<qint64>(
        screenStart, std::min<qint64>(qint64(screenStart) + screenExtent - size, low));
    *outLow = qint32(pos);
    *outHigh = qint32(std::min<qint64>(pos + size, std::numeric_limits<qint32>::max()));
}
} // namespace

WindowRect pulledOntoScreen(const WindowRect& rect, QSize screen) {
    return pulledOntoScreen(rect, QRect(QPoint(0, 0), screen));
}

WindowRect pulledOntoScreen(const WindowRect& rect, const QRect& m) {
    WindowRect r;
    pull(rect.left, rect.right, m.x(), m.width(), &r.left, &r.right);
    pull(rect.top, rect.bottom, m.y(), m.height(), &r.top, &r.bottom);
    return r;
}

WindowRect placedOnMonitors(const WindowRect& rect, const QList<QRect>& monitors) {
    // The edges may come from a hand-edited file: the size is bounded first.
    const qint64 width = std::clamp<qint64>(qint64(rect.right) - rect.left, 0, 1 << 20);
    const qint64 height = std::clamp<qint64>(qint64(rect.bottom) - rect.top, 0, 1 << 20);
    if (monitors.isEmpty()) return rect;
    const QRect window(rect.left, rect.top, int(width), int(height));
    return pulledOntoScreen(rect, monitorOfWindow(monitors, window, monitors.first()));
}

} // namespace klavoro
