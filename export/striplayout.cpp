#include "export/striplayout.h"

#include <algorithm>
#include <cmath>

namespace klavoro {
namespace {
constexpr int kMargin = 4;
constexpr int kGap = 3;
} // namespace

StripPanelLayout stripPanelLayout(int thumbnailWidth, int thumbnailHeight, double mag,
                                  int chkSize) {
    StripPanelLayout l;
    const int w = std::max(8, static_cast<int>(std::lround(thumbnailWidth * mag)));
    const int h = std::max(8, static_cast<int>(std::lround(thumbnailHeight * mag)));
    const int side = 8 + 4 * std::clamp(chkSize, 1, 7);
    const int inner = std::max(w, 2 * side);
    l.image = QRect(kMargin + (inner - w) / 2, kMargin, w, h);
    l.checkBox = QRect(kMargin, kMargin + h + kGap, side, side);
    l.label = QRect(kMargin + side + kGap, l.checkBox.top(), inner - side - kGap, side);
    l.panel = QSize(inner + 2 * kMargin, l.checkBox.bottom() + 1 + kMargin);
    return l;
}

int shownPanels(int stripWidth, int panelWidth) {
    if (panelWidth <= 0) return 1;
    return std::max(1, static_cast<int>(std::nearbyint(double(stripWidth) / panelWidth)));
}

int stripFirstStepFor(int n, int shown) {
    return std::max(1, n - std::max(1, shown) + 1);
}

} // namespace klavoro
