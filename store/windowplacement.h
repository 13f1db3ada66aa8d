#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace klavoro {

// The main window's normal (restored) position in screen pixels, as the four
// window keys of Conf.txt hold it: right and bottom are edges, not last pixels.
struct WindowRect {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

// What the settings file needs of the main window; the main window implements it.
class MainWindowPlacement {
public:
    virtual ~MainWindowPlacement() = default;
    // The screen size in pixels.
    virtual QSize screenSize() const = 0;
    // The monitors, the primary one first, in the window's own units.
    virtual QList<QRect> monitors() const { return {QRect(QPoint(0, 0), screenSize())}; }
    // The normal (restored) position, also while minimised or maximised.
    virtual WindowRect normalRect() const = 0;
    // Places the window, with its own resize handling suppressed, and the
    // splitter between list and image. The rectangle is already on the screen.
    virtual void placeMainWindow(const WindowRect& rect, qint32 splitterLeft) = 0;
};

// The window keys' defaults: the lower right corner of the screen (of a monitor).
WindowRect defaultWindowRect(QSize screen);
WindowRect defaultWindowRect(const QRect& monitor);

// Keeps the size and moves the window so that its left and top edges are on the
// screen (the monitor) and, where it fits, its right and bottom edges too. A
// size that would be negative (right left of left) becomes 0.
WindowRect pulledOntoScreen(const WindowRect& rect, QSize screen);
WindowRect pulledOntoScreen(const WindowRect& rect, const QRect& monitor);

// Where a window from the settings goes: onto the monitor that holds most of
// it (a monitor since removed: the nearest one).
WindowRect placedOnMonitors(const WindowRect& rect, const QList<QRect>& monitors);

} // namespace klavoro
