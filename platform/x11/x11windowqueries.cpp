// The window queries of X11Desktop: pointer, windows at points, the window
// tree, classes, rectangles, focus and opacity.
#include "platform/x11/x11desktop.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

namespace klavoro::x11 {

QPoint X11Desktop::pointerPosition() {
    if (!m_display) return {};
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX,
                  &winY, &mask);
    return {rootX, rootY};
}

QSize X11Desktop::screenSize() {
    if (!m_display) return {};
    const int screen = DefaultScreen(m_display);
    return {DisplayWidth(m_display, screen), DisplayHeight(m_display, screen)};
}

WindowId X11Desktop::desktopWindow() {
    return m_display ? DefaultRootWindow(m_display) : 0;
}

WindowId X11Desktop::windowAt(QPoint p) {
    if (!m_display) return 0;
    // A window on the way may go while it is asked (a menu closing at the
    // release): then ask again, the tree has settled by the next round.
    WindowId found = 0;
    for (int attempt = 0; attempt < 3 && !found; ++attempt)
        found = windowAtOnce(p);
    return found;
}

WindowId X11Desktop::windowAtOnce(QPoint p) {
    const Window root = DefaultRootWindow(m_display);
    XErrorTrap trap(m_display);
    std::vector<Window> path; // from the child of the root down to the innermost window
    Window current = root;
    for (int depth = 0; depth < 64; ++depth) {
        int x = 0, y = 0;
        Window child = None;
        if (!XTranslateCoordinates(m_display, root, current, p.x(), p.y(), &x, &y, &child) ||
            child == None)
            break;
        path.push_back(child);
        current = child;
    }
    if (trap.failed()) return 0; // a window on the way vanished
    if (path.empty()) return root;
    // Inside an application's window the innermost one is the answer.
    for (const Window w : path)
        if (hasProperty(m_display, w, "WM_STATE")) return path.back();
    // On a frame's border or title bar: the window the frame belongs to.
    if (const Window client = clientBelow(m_display, path.front())) return client;
    return trap.failed() ? 0 : path.back();
}

WindowId X11Desktop::topLevelWindow(WindowId window) {
    if (!m_display || window == 0) return 0;
    XErrorTrap trap(m_display);
    const Window top = topLevelOf(m_display, window);
    return trap.failed() ? 0 : top;
}

WindowId X11Desktop::owner(WindowId window) {
    if (!m_display || window == 0) return 0;
    XErrorTrap trap(m_display);
    Window owner = 0;
    if (!XGetTransientForHint(m_display, window, &owner) || trap.failed()) return 0;
    // Some toolkits name the root as the owner of a dialog without a parent.
    return owner == DefaultRootWindow(m_display) ? 0 : owner;
}

WindowId X11Desktop::parent(WindowId window) {
    if (!m_display || window == 0) return 0;
    const WindowId top = topLevelWindow(window);
    if (top == 0) return 0;
    if (top == window) return owner(window);
    XErrorTrap trap(m_display);
    const Window parent = parentOf(m_display, window);
    return trap.failed() ? 0 : parent;
}

QString X11Desktop::ownClassName(WindowId window) {
    XClassHint hint{};
    QString name;
    XErrorTrap trap(m_display);
    if (XGetClassHint(m_display, window, &hint)) {
        name = QString::fromLocal8Bit(hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    trap.failed();
    return name;
}

QString X11Desktop::className(WindowId window) {
    if (!m_display || window == 0) return {};
    QString name = ownClassName(window);
    if (name.isEmpty()) {
        const WindowId top = topLevelWindow(window);
        if (top != 0 && top != window) name = ownClassName(top);
    }
    return name;
}

namespace {

// The window's attributes and where its origin lies on the screen.
bool placement(Display* d, Window window, XWindowAttributes* attrs, int* x, int* y) {
    Window child = None;
    return XGetWindowAttributes(d, window, attrs) &&
           XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, x, y, &child);
}

} // namespace

QRect X11Desktop::windowRect(WindowId window) {
    if (!m_display || window == 0) return {};
    XErrorTrap trap(m_display);
    XWindowAttributes attrs{};
    int x = 0, y = 0;
    if (!placement(m_display, window, &attrs, &x, &y) || trap.failed()) return {};
    QRect rect(x - attrs.border_width, y - attrs.border_width, attrs.width + 2 * attrs.border_width,
               attrs.height + 2 * attrs.border_width);
    // A managed top-level window's rectangle includes the frame, as a
    // Windows window rectangle includes the title bar.
    if (hasProperty(m_display, window, "WM_STATE")) {
        const auto extents = longProperty(m_display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
        if (extents.size() == 4)
            rect.adjust(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]),
                        static_cast<int>(extents[1]), static_cast<int>(extents[3]));
    }
    return trap.failed() ? QRect() : rect;
}

QRect X11Desktop::contentRect(WindowId window) {
    if (!m_display || window == 0) return {};
    XErrorTrap trap(m_display);
    XWindowAttributes attrs{};
    int x = 0, y = 0;
    if (!placement(m_display, window, &attrs, &x, &y) || trap.failed()) return {};
    QRect rect(x, y, attrs.width, attrs.height);
    // Left, right, top, bottom of the shadow drawn inside the window.
    const auto shadow = longProperty(m_display, window, "_GTK_FRAME_EXTENTS", XA_CARDINAL, 4);
    if (shadow.size() == 4)
        rect.adjust(static_cast<int>(shadow[0]), static_cast<int>(shadow[2]),
                    -static_cast<int>(shadow[1]), -static_cast<int>(shadow[3]));
    return trap.failed() ? QRect() : rect;
}

WindowId X11Desktop::focusedWindow() {
    if (!m_display) return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    return focus == None || focus == PointerRoot ? 0 : focus;
}

WindowId X11Desktop::foregroundWindow() {
    if (!m_display) return 0;
    if (x11::windowManagerRunning(m_display)) {
        XErrorTrap trap(m_display);
        const auto active = longProperty(m_display, DefaultRootWindow(m_display),
                                         "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
        return active.empty() || trap.failed() ? 0 : active[0];
    }
    const WindowId focus = focusedWindow();
    return focus ? topLevelWindow(focus) : 0;
}

qint64 X11Desktop::processId(WindowId window) {
    if (!m_display || window == 0) return 0;
    XErrorTrap trap(m_display);
    auto pid = longProperty(m_display, window, "_NET_WM_PID", XA_CARDINAL, 1);
    if (pid.empty()) {
        const Window top = topLevelOf(m_display, window);
        if (top && top != window) pid = longProperty(m_display, top, "_NET_WM_PID", XA_CARDINAL, 1);
    }
    return pid.empty() || trap.failed() ? 0 : static_cast<qint64>(pid[0]);
}

bool X11Desktop::setWindowOpacity(WindowId window, int alpha) {
    if (!m_display || window == 0) return false;
    alpha = qBound(0, alpha, 255);
    XErrorTrap trap(m_display);
    // Compositors read the property from the frame, so set it on both.
    std::vector<Window> targets{window};
    if (const Window frame = rootChildOf(m_display, window); frame && frame != window)
        targets.push_back(frame);
    const Atom opacity = atom("_NET_WM_WINDOW_OPACITY");
    for (const Window w : targets) {
        if (alpha == 255) {
            XDeleteProperty(m_display, w, opacity);
        } else {
            const unsigned long value = static_cast<unsigned long>(alpha) * 0x01010101UL;
            XChangeProperty(m_display, w, opacity, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&value), 1);
        }
    }
    return !trap.failed();
}

int X11Desktop::windowOpacity(WindowId window) {
    if (!m_display || window == 0) return 255;
    XErrorTrap trap(m_display);
    const auto value = longProperty(m_display, window, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL, 1);
    if (value.empty() || trap.failed()) return 255;
    return static_cast<int>((value[0] & 0xFFFFFFFFUL) >> 24);
}

bool X11Desktop::windowManagerRunning() {
    return m_display && x11::windowManagerRunning(m_display);
}

} // namespace klavoro::x11
