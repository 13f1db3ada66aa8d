#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace klavoro {

// Which monitor a point or a window belongs to. `monitors` lists them with the
// primary one first; an empty list means the whole screen `whole`.

// The monitor that holds the point. Where monitors overlap, the smallest one
// (the most specific); on a tie the one listed first. A point on no monitor
// (in a gap of an irregular layout) belongs to the nearest one.
QRect monitorAt(const QList<QRect>& monitors, QPoint point, const QRect& whole);

// The monitor that holds the largest part of the window; a window on none of
// them belongs to the monitor nearest its centre.
QRect monitorOfWindow(const QList<QRect>& monitors, const QRect& window, const QRect& whole);

// The primary monitor (the first listed), or `whole`.
QRect primaryMonitor(const QList<QRect>& monitors, const QRect& whole);

// One monitor as a toolkit that scales its own windows lays it out: its
// top-left corner stays where it is in screen pixels, its extent is divided by
// the scale factor.
struct ScaledMonitor {
    QRect logical;      // in the toolkit's units
    double scale = 1.0; // screen pixels per unit
};

// A rectangle in screen pixels in the units of the toolkit's windows (widened
// to whole units that cover it), by the monitor that holds its top-left
// corner; and a point the other way.
QRect toLogical(const QList<ScaledMonitor>& monitors, const QRect& pixels);
QPoint toPixels(const QList<ScaledMonitor>& monitors, QPoint logical);

} // namespace klavoro
