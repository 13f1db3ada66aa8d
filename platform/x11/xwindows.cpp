#include "platform/x11/xwindows.h"

#include "platform/x11/xerrors.h"

#include <X11/Xatom.h>

#include <deque>

namespace klavoro::x11 {

Display* openDisplay(QString* error) {
    installErrorHandler();
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty()) {
        if (error) *error = QStringLiteral("No X display: DISPLAY is not set.");
        return nullptr;
    }
    Display* dpy = XOpenDisplay(name.constData());
    if (!dpy && error)
        *error = QStringLiteral("Cannot connect to the X display \"%1\".")
                     .arg(QString::fromLocal8Bit(name));
    return dpy;
}

std::vector<unsigned long> longProperty(Display* dpy, Window w, const char* name, Atom type,
                                        long maxItems) {
    std::vector<unsigned long> items;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, maxItems, False, type, &actual,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        // Xlib hands 32-bit items back as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
}

bool hasProperty(Display* dpy, Window w, const char* name) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool ok =
        XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 0, False, AnyPropertyType,
                           &actual, &format, &count, &after, &data) == Success &&
        actual != None;
    if (data) XFree(data);
    return ok;
}

bool windowManagerRunning(Display* dpy) {
    XErrorTrap trap(dpy);
    const auto check =
        longProperty(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
    if (check.empty() || check[0] == 0) return false;
    // A stale property survives its window manager; the window must be there too.
    const auto self = longProperty(dpy, check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
    return !trap.failed() && !self.empty() && self[0] == check[0];
}

bool isPopupWindow(Display* dpy, Window w) {
    if (!dpy || !w) return false;
    XErrorTrap trap(dpy);
    XWindowAttributes attrs{};
    const bool ok = XGetWindowAttributes(dpy, w, &attrs);
    return !trap.failed() && ok && attrs.override_redirect;
}

Window parentOf(Display* dpy, Window w) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    return w == root ? 0 : parent;
}

Window rootChildOf(Display* dpy, Window w) {
    const Window root = DefaultRootWindow(dpy);
    // Window trees are shallow; the bound guards against a loop on a broken reply.
    for (int depth = 0; w && w != root && depth < 64; ++depth) {
        const Window parent = parentOf(dpy, w);
        if (parent == root) return w;
        w = parent;
    }
    return 0;
}

Window clientBelow(Display* dpy, Window w) {
    std::deque<std::pair<Window, int>> queue{{w, 0}};
    while (!queue.empty()) {
        const auto [current, depth] = queue.front();
        queue.pop_front();
        if (hasProperty(dpy, current, "WM_STATE")) return current;
        if (depth >= 3) continue;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(dpy, current, &root, &parent, &children, &n)) continue;
        for (unsigned int i = 0; i < n; ++i)
            queue.emplace_back(children[i], depth + 1);
        if (children) XFree(children);
    }
    return 0;
}

Window topLevelOf(Display* dpy, Window w) {
    const Window root = DefaultRootWindow(dpy);
    if (w == root) return root;
    std::vector<Window> chain; // w up to the child of the root
    for (Window current = w; current && current != root && chain.size() < 64;) {
        chain.push_back(current);
        current = parentOf(dpy, current);
        if (current == 0) return 0; // gone, or not on this screen's tree
    }
    if (chain.empty()) return 0;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (hasProperty(dpy, *it, "WM_STATE")) return *it;
    // A frame or its decorations: the client sits beside `w` inside the frame.
    if (const Window client = clientBelow(dpy, chain.back())) return client;
    return chain.back();
}

} // namespace klavoro::x11
