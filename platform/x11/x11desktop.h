#pragma once

#include "platform/desktop.h"

#include "platform/x11/xforward.h"

namespace klavoro::x11 {

// Desktop queries over the program's own Xlib connection. With a window
// manager the top-level window of an application is its client window (the
// one with WM_STATE inside the manager's frame); without one it is the child
// of the root.
class X11Desktop : public Desktop {
public:
    // Opens its own connection to $DISPLAY; isOpen() tells whether that worked.
    X11Desktop();
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    QString errorText() const { return m_error; }
    Display* display() const { return m_display; }

    QList<WindowId> findTopLevelWindows(const QString& titlePart) override;
    bool windowExists(WindowId window) override;
    void setForegroundWindow(WindowId window) override;
    void setTopMost(WindowId window, bool topMost) override;

    QPoint pointerPosition() override;
    QSize screenSize() override;
    WindowId desktopWindow() override;
    WindowId windowAt(QPoint screenPoint) override;
    WindowId parent(WindowId window) override;
    WindowId owner(WindowId window) override;
    WindowId topLevelWindow(WindowId window) override;
    QString className(WindowId window) override;
    QString windowTitle(WindowId window) override;
    QRect windowRect(WindowId window) override;
    QRect contentRect(WindowId window) override;
    WindowId foregroundWindow() override;
    WindowId focusedWindow() override;
    qint64 processId(WindowId window) override;
    bool setWindowOpacity(WindowId window, int alpha) override;
    int windowOpacity(WindowId window) override;
    bool windowManagerRunning() override;

    // Same as processId().
    qint64 windowProcessId(WindowId window) { return processId(window); }

    // Asks the window to close, as the window manager's close button does.
    void requestClose(WindowId window);

private:
    QList<WindowId> topLevelWindows();
    // One pass down the window tree; 0 when a window on the way went.
    WindowId windowAtOnce(QPoint screenPoint);
    XId atom(const char* name);
    void sendWmMessage(WindowId window, XId type, long d0, long d1, long d2);
    QString ownClassName(WindowId window);

    Display* m_display = nullptr;
    QString m_error;
};

} // namespace klavoro::x11
