#pragma once

#include <QString>

#include <X11/Xlib.h>

#include <vector>

namespace klavoro::x11 {

// Opens a connection to $DISPLAY with the error handler installed. On
// failure returns nullptr and a message that says why.
Display* openDisplay(QString* error);

// 32-bit items of a window property (CARDINAL, WINDOW, ATOM); empty when the
// property or the window is missing. Caller holds an XErrorTrap.
std::vector<unsigned long> longProperty(Display* dpy, Window w, const char* name, Atom type,
                                        long maxItems = 64);
bool hasProperty(Display* dpy, Window w, const char* name);

// True when a window manager says it is running (_NET_SUPPORTING_WM_CHECK).
bool windowManagerRunning(Display* dpy);

// A window no window manager places (override-redirect): a menu, a list,
// a tooltip. False for a window that does not exist.
bool isPopupWindow(Display* dpy, Window w);

// The X parent of `w`; 0 when `w` is the root or does not exist.
Window parentOf(Display* dpy, Window w);
// The ancestor of `w` that is a child of the root (itself if it is one);
// 0 for the root and for windows that do not exist.
Window rootChildOf(Display* dpy, Window w);
// The first window below `w` (breadth first, a few levels) that carries
// WM_STATE: the client window inside a window manager's frame; 0 when none.
Window clientBelow(Display* dpy, Window w);
// The application's top-level window of `w`: the window with WM_STATE above
// or beside it under a window manager, else the child of the root.
Window topLevelOf(Display* dpy, Window w);

} // namespace klavoro::x11
