#pragma once

#include "platform/desktop.h"

struct _XDisplay;

namespace klavoro::x11 {

// Desktop queries over the program's own Xlib connection.
class X11Desktop : public Desktop {
public:
    // Opens its own connection to $DISPLAY; isOpen() tells whether that worked.
    X11Desktop();
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    _XDisplay* display() const { return m_display; }

    QList<WindowId> findTopLevelWindows(const QString& titlePart) override;
    bool windowExists(WindowId window) override;
    void setForegroundWindow(WindowId window) override;
    void setTopMost(WindowId window, bool topMost) override;

    // The process that owns the window (_NET_WM_PID), 0 when unknown.
    qint64 windowProcessId(WindowId window);

    // Asks the window to close, as the window manager's close button does.
    void requestClose(WindowId window);

    // The window's title: _NET_WM_NAME, else WM_NAME.
    QString windowTitle(WindowId window);

private:
    QList<WindowId> topLevelWindows();
    unsigned long atom(const char* name);
    void sendWmMessage(WindowId window, unsigned long type, long d0, long d1, long d2);

    _XDisplay* m_display = nullptr;
};

} // namespace klavoro::x11
