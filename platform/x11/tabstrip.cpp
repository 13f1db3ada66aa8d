#include "platform/x11/tabstrip.h"

#include <algorithm>
#include <climits>

namespace klavoro::x11 {

namespace {

// How far `p` lies outside the span [from, to], 0 inside.
int outside(int p, int from, int to) {
    return p < from ? from - p : p > to ? p - to : 0;
}

} // namespace

int tabAtPoint(const std::vector<QRect>& tabs, QPoint point) {
    std::vector<int> placed;
    for (int i = 0; i < int(tabs.size()); ++i)
        if (!tabs[size_t(i)].isEmpty()) placed.push_back(i);
    for (int i : placed)
        if (tabs[size_t(i)].contains(point)) return i;
    if (placed.size() < 2) return -1;

    // Tabs side by side run along x; stacked tabs (left or right of the
    // pages) along y.
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (int i : placed) {
        const QPoint c = tabs[size_t(i)].center();
        minX = std::min(minX, c.x());
        maxX = std::max(maxX, c.x());
        minY = std::min(minY, c.y());
        maxY = std::max(maxY, c.y());
    }
    const bool across = maxX - minX >= maxY - minY;
    const auto start = [&](const QRect& r) { return across ? r.left() : r.top(); };
    const auto end = [&](const QRect& r) { return across ? r.right() : r.bottom(); };

    // The padding: half the narrowest gap between neighbouring labels.
    std::vector<int> order = placed;
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return start(tabs[size_t(a)]) < start(tabs[size_t(b)]); });
    int gap = INT_MAX;
    for (size_t k = 1; k < order.size(); ++k) {
        const int g = start(tabs[size_t(order[k])]) - end(tabs[size_t(order[k - 1])]) - 1;
        if (g > 0) gap = std::min(gap, g);
    }
    if (gap == INT_MAX) return -1;
    const int padding = gap / 2;

    int best = -1, bestDistance = INT_MAX;
    for (int i : placed) {
        const QRect& r = tabs[size_t(i)];
        const int along = across ? outside(point.x(), r.left(), r.right())
                                 : outside(point.y(), r.top(), r.bottom());
        const int aside = across ? outside(point.y(), r.top(), r.bottom())
                                 : outside(point.x(), r.left(), r.right());
        // Beside the strip a tab's padding is thinner than between tabs.
        if (along > padding || aside > padding / 2) continue;
        if (along < bestDistance) {
            best = i;
            bestDistance = along;
        }
    }
    return best;
}

} // namespace klavoro::x11
