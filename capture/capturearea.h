#pragma once

#include <QPoint>
#include <QSize>

#include <optional>

namespace klavoro {

// A screen rectangle with exclusive right and bottom edges, as window
// rectangles are reported.
struct ScreenRect {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
    qint32 width() const { return right - left; }
    qint32 height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// "around": the box of the rect offsets around the pointer, pushed back inside
// the monitor (its edges times m) at whichever edge it crosses.
ScreenRect aroundAreaOn(QPoint pointer, const ScreenRect& monitor, double textMag, int rectLeft,
                      int rectTop, int rectRight, int rectBottom);
// The same on a screen of one monitor, W x H.
ScreenRect aroundArea(QPoint pointer, QSize screen, double textMag, int rectLeft, int rectTop,
                      int rectRight, int rectBottom);

// "desktop": the monitor times m.
ScreenRect desktopAreaOn(const ScreenRect& monitor, double textMag);
ScreenRect desktopArea(QSize screen, double textMag);

// `area` cut to the monitor times m (an empty rectangle when they do not meet).
ScreenRect clippedToMonitor(const ScreenRect& area, const ScreenRect& monitor, double textMag);

// "window": the window (or its parent, when the window is the clicked control
// itself) cut to the maximum size so that the pointer stays inside.
ScreenRect windowArea(QPoint pointer, const ScreenRect& window, const ScreenRect& parent,
                      const ScreenRect& element, int widthMax, int heightMax);

// "topwindow" and "app": the window widened by a margin around the pointer,
// times m, rounded halves to even.
ScreenRect topWindowArea(QPoint pointer, const ScreenRect& window, double marginX, double marginY,
                         double textMag);

// The image fitted into widthMax x heightMax, then times m; rounded halves to
// even. Empty for an empty image or box.
QSize fittedSize(QSize image, int widthMax, int heightMax, double textMag);

// The size a capture is shrunk to so that it fits widthMax x heightMax (times
// m), or nothing when it already fits.
std::optional<QSize> shrunkSize(QSize image, int widthMax, int heightMax, double textMag);

} // namespace klavoro
