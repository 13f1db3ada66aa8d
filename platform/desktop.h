#pragma once

#include <QList>
#include <QString>

namespace klavoro {

// A window handle: the X window id on X11 (an HWND on Windows).
using WindowId = quint64;

// Queries and changes of top-level windows on the desktop.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Top-level windows whose title contains `titlePart`.
    virtual QList<WindowId> findTopLevelWindows(const QString& titlePart) = 0;
    virtual bool windowExists(WindowId window) = 0;
    // Activates the window and raises it.
    virtual void setForegroundWindow(WindowId window) = 0;
    virtual void setTopMost(WindowId window, bool topMost) = 0;
};

} // namespace klavoro
