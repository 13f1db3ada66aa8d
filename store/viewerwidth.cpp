#include "store/viewerwidth.h"

#include "store/settings.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace klavoro {
namespace {
const QString kEnlarged = QStringLiteral("拡大表示中");
const QString kReduced = QStringLiteral("縮小表示中");
} // namespace

WidthSliderRange widthSliderRange(const Settings& s) {
    WidthSliderRange r;
    r.minimum = std::max(1, std::min(s.dispImgMaxWidth, s.dispImgMinWidth));
    r.maximum = std::max(r.minimum, std::max(s.dispImgMaxWidth, s.dispImgMinWidth));
    r.smallChange = std::max(1, s.dispSmallChange);
    r.largeChange = std::max(1, s.dispLargeChange);
    return r;
}

int displayWidthForValue(const WidthSliderRange& r, int value) {
    return std::max(r.minimum + r.maximum - value, r.minimum);
}

int sliderValueForWidth(const WidthSliderRange& r, int width) {
    return std::clamp(r.minimum + r.maximum - width, r.minimum, r.maximum);
}

int fitWidth(const WidthSliderRange& r, int innerWidth) {
    return std::clamp(innerWidth, r.minimum, r.maximum);
}

QSize displaySize(int width, QSize actual) {
    if (actual.width() <= 0 || actual.height() <= 0 || width <= 0) return {};
    const double h = double(width) * actual.height() / actual.width();
    return {width, std::max(1, static_cast<int>(std::lround(h)))};
}

ZoomIndicator zoomIndicator(int width, int actualWidth) {
    ZoomIndicator z;
    z.background = Qt::white;
    if (actualWidth <= 0 || width <= 0) return z;
    // Halves to even, as the other roundings of the program.
    z.percent = static_cast<int>(std::nearbyint(100.0 * width / actualWidth));
    z.percentText = QString::number(z.percent) + '%';
    if (z.percent == 100) {
        z.state = ZoomState::Actual;
    } else if (z.percent > 100) {
        z.state = ZoomState::Enlarged;
        z.stateText = kEnlarged;
        z.background = Qt::cyan;
    } else {
        z.state = ZoomState::Reduced;
        z.stateText = kReduced;
        z.background = Qt::yellow;
    }
    return z;
}

QString zoomStateCaption(const QString& current, const ZoomIndicator& z) {
    if (!z.stateText.isEmpty()) return z.stateText;
    return current == kEnlarged || current == kReduced ? QString() : current;
}

} // namespace klavoro
