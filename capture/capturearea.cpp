#include "capture/capturearea.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace klavoro {
namespace {
qint32 roundEven(double v) {
    return static_cast<qint32>(std::nearbyint(v));
}
} // namespace

namespace {
ScreenRect timesMag(const ScreenRect& r, double m) {
    return {roundEven(r.left * m), roundEven(r.top * m), roundEven(r.right * m),
            roundEven(r.bottom * m)};
}
} // namespace

ScreenRect aroundAreaOn(QPoint p, const ScreenRect& monitor, double m, int dl, int dt, int dr,
                      int db) {
    const ScreenRect b = timesMag(monitor, m);
    const qint32 x1 = p.x() + dl, y1 = p.y() + dt, x2 = p.x() + dr, y2 = p.y() + db;
    ScreenRect r;
    r.left = std::max(b.left, x1) - std::max(0, x2 - b.right);
    r.top = std::max(b.top, y1) - std::max(0, y2 - b.bottom);
    r.right = std::min(b.right, x2) + std::max(0, r.left - x1);
    r.bottom = std::min(b.bottom, y2) + std::max(0, r.top - y1);
    return r;
}

ScreenRect aroundArea(QPoint p, QSize screen, double m, int dl, int dt, int dr, int db) {
    return aroundAreaOn(p, ScreenRect{0, 0, screen.width(), screen.height()}, m, dl, dt, dr, db);
}

ScreenRect desktopAreaOn(const ScreenRect& monitor, double m) {
    return timesMag(monitor, m);
}

ScreenRect desktopArea(QSize screen, double m) {
    return desktopAreaOn(ScreenRect{0, 0, screen.width(), screen.height()}, m);
}

ScreenRect clippedToMonitor(const ScreenRect& a, const ScreenRect& monitor, double m) {
    const ScreenRect b = timesMag(monitor, m);
    ScreenRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) return {};
    return r;
}

ScreenRect windowArea(QPoint p, const ScreenRect& window, const ScreenRect& parent,
                      const ScreenRect& element, int wm, int hm) {
    auto near = [](qint32 a, qint32 b) { return std::abs(a - b) <= 10; };
    const bool isTheControl = near(window.left, element.left) && near(window.top, element.top) &&
                              near(window.right, element.right) &&
                              near(window.bottom, element.bottom);
    ScreenRect r = isTheControl ? parent : window;
    // The pointer is compared with the window's own extent, so that the cut
    // keeps it inside wherever the window stands on the screen.
    auto cut = [](qint32& lo, qint32& hi, qint32 pointer, int max) {
        const qint32 extent = hi - lo;
        if (extent <= max) return;
        const qint32 rel = pointer - lo;
        if (rel > extent - max / 3.0)
            lo = hi - max;
        else if (rel > 2.0 * max / 3.0)
            lo = roundEven(pointer - max / 2.0);
        hi = lo + max;
    };
    cut(r.left, r.right, p.x(), wm);
    cut(r.top, r.bottom, p.y(), hm);
    return r;
}

ScreenRect topWindowArea(QPoint p, const ScreenRect& w, double mx, double my, double m) {
    return {roundEven(std::min<double>(w.left, p.x() - mx) * m),
            roundEven(std::min<double>(w.top, p.y() - my) * m),
            roundEven(std::max<double>(w.right, p.x() + mx) * m),
            roundEven(std::max<double>(w.bottom, p.y() + my) * m)};
}

QSize fittedSize(QSize image, int wm, int hm, double m) {
    const double w = image.width(), h = image.height();
    if (w <= 0 || h <= 0 || wm <= 0 || hm <= 0) return {};
    double fw, fh;
    if (hm / h > wm / w) {
        fw = wm;
        fh = h * wm / w;
    } else {
        fh = hm;
        fw = w * hm / h;
    }
    return QSize(roundEven(fw * m), roundEven(fh * m));
}

std::optional<QSize> shrunkSize(QSize image, int wm, int hm, double m) {
    const double w = image.width(), h = image.height();
    if (w <= 0 || h <= 0 || wm <= 0 || hm <= 0) return std::nullopt;
    const double r = h / w, rm = double(hm) / wm;
    const bool due = rm >= r ? w > wm : h > hm;
    if (!due) return std::nullopt;
    return fittedSize(image, wm, hm, m);
}

} // namespace klavoro
