#include "store/windowplacement.h"

#include <algorithm>
#include <limits>

namespace klavoro {

WindowRect defaultWindowRect(QSize screen) {
    return {screen.width() - 520, screen.height() - 430, screen.width() - 20, screen.height() - 30};
}

namespace {
// 64-bit so that edges from a hand-edited file cannot overflow.
void pull(qint32 low, qint32 high, int screenExtent, qint32* outLow, qint32* outHigh) {
    const qint64 size =
        std::clamp<qint64>(qint64(high) - low, 0, std::numeric_limits<qint32>::max());
    const qint64 pos = std::max<qint64>(0, std::min<qint64>(screenExtent - size, low));
    *outLow = qint32(pos);
    *outHigh = qint32(std::min<qint64>(pos + size, std::numeric_limits<qint32>::max()));
}
} // namespace

WindowRect pulledOntoScreen(const WindowRect& rect, QSize screen) {
    WindowRect r;
    pull(rect.left, rect.right, screen.width(), &r.left, &r.right);
    pull(rect.top, rect.bottom, screen.height(), &r.top, &r.bottom);
    return r;
}

} // namespace klavoro
