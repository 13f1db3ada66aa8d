#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

namespace klavoro::x11 {

// The tab of a notebook that a point on its tab strip falls on. Toolkits
// give a page tab the extents of its label only (GTK 3), while the tab the
// user sees reaches out by its padding half-way to its neighbours: a press
// there is on that tab, not on the nameless strip. `tabs` are the labels'
// extents (empty ones are ignored); the answer is an index into it, or -1
// when the point is on none of them. With a single tab the padding is not
// known, so only its own extents count.
int tabAtPoint(const std::vector<QRect>& tabs, QPoint point);

} // namespace klavoro::x11
