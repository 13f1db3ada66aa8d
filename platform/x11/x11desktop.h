#pragma once

#include "platform/desktop.h"

#include <X11/Xlib.h>

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
    Display* display() const { return m_display; }

    QList<WindowId> findTopLevelWindows(const QString& titlePart) override;
    bool windowExists(WindowId window) override;
    void setForegroundWindow(WindowId window) override;
    void setTopMost(WindowId window, bool topMost) override;

    // The window's title: _NET_WM_NAME, else WM_NAME.
    QString windowTitle(WindowId window);

private:
    QList<WindowId> topLevelWindows();
    Atom atom(const char* name);
    void sendWmMessage(WindowId window, Atom type, long d0, long d1, long d2);

    Display* m_display = nullptr;
};

} // namespace klavoro::x11
