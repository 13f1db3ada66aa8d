#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace klavoro {

// A window handle: the X window id on X11 (an HWND on Windows). 0 is no window.
using WindowId = quint64;

// Window queries and changes on the desktop. Every query of a window that no
// longer exists answers 0, an empty text or an empty rectangle.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Top-level windows whose title contains `titlePart`.
    virtual QList<WindowId> findTopLevelWindows(const QString& titlePart) = 0;
    virtual bool windowExists(WindowId window) = 0;
    // Activates the window and raises it.
    virtual void setForegroundWindow(WindowId window) = 0;
    virtual void setTopMost(WindowId window, bool topMost) = 0;

    virtual QPoint pointerPosition() = 0;
    virtual QSize screenSize() = 0;
    // The desktop window, parent of all top-level windows.
    virtual WindowId desktopWindow() = 0;
    // The innermost window of an application at a screen point; a point on a
    // window's frame or title bar gives that window; an empty desktop gives
    // desktopWindow().
    virtual WindowId windowAt(QPoint screenPoint) = 0;
    // The enclosing window; for a top-level window its owner (0 when it has none).
    virtual WindowId parent(WindowId window) = 0;
    // The window a dialog belongs to; 0 when none.
    virtual WindowId owner(WindowId window) = 0;
    // The application's top-level window that holds `window` (itself if it is one).
    virtual WindowId topLevelWindow(WindowId window) = 0;
    // The window's class (of its top-level window when it has none of its own).
    virtual QString className(WindowId window) = 0;
    virtual QString windowTitle(WindowId window) = 0;
    // Screen rectangle; a top-level window's includes its frame and title bar.
    virtual QRect windowRect(WindowId window) = 0;
    // The area the application itself draws in: without the window manager's
    // frame and without the shadow some toolkits draw around their windows.
    virtual QRect contentRect(WindowId window) { return windowRect(window); }
    // The active top-level window.
    virtual WindowId foregroundWindow() = 0;
    // The window that has the keyboard focus.
    virtual WindowId focusedWindow() = 0;
    // Process id of the window's application; 0 when unknown.
    virtual qint64 processId(WindowId window) = 0;
    // Opacity 0 (invisible) to 255 (opaque) of a top-level window; needs a compositor to show.
    virtual bool setWindowOpacity(WindowId window, int alpha) = 0;
    virtual int windowOpacity(WindowId window) = 0;
    // A window manager runs (so a window can be minimised).
    virtual bool windowManagerRunning() { return true; }
};

} // namespace klavoro
