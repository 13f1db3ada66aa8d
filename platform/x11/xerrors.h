#pragma once

#include <X11/Xlib.h>

namespace klavoro::x11 {

// Installs, once per process, an X error handler that records errors instead
// of ending the process (Xlib's default handler exits on any error).
void installErrorHandler();

// Counts the X errors raised on a display between construction and check():
//   XErrorTrap trap(dpy); XGetWindowAttributes(...); if (trap.failed()) ...
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    // Syncs with the server and tells whether an error arrived since construction.
    bool failed();
    int lastErrorCode() const { return m_code; }

private:
    Display* m_display;
    unsigned long m_start;
    int m_code = 0;
};

} // namespace klavoro::x11
