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

ScreenRect aroundArea(QPoint p, QSize screen, double m, int dl, int dt, int dr, int db) {
    const qint32 sw = roundEven(screen.width() * m), sh = roundEven(screen.height() * m);
    const qint32 x1 = p.x() + dl, y1 = p.y() + dt, x2 = p.x() + dr, y2 = p.y() + db;
    ScreenRect r;
    r.left = std::max(0, x1) - std::max(0, x2 - sw);
    r.top = std::max(0, y1) - std::max(0, y2 - sh);
    r.right = std::min(sw, x2) + std::max(0, r.left - x1);
    r.bottom = std::min(sh, y2) + std::max(0, r.top - y1);
    return r;
}

ScreenRect desktopArea(QSize screen, double m) {
    return {0, 0, roundEven(screen.width() * m), roundEven(screen.height() * m)};
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
