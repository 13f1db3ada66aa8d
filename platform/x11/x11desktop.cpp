#include "platform/x11/x11desktop.h"

#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace klavoro::x11 {

X11Desktop::X11Desktop() {
    m_display = openDisplay(&m_error);
}

X11Desktop::~X11Desktop() {
    if (m_display) XCloseDisplay(m_display);
}

XId X11Desktop::atom(const char* name) {
    return XInternAtom(m_display, name, False);
}

QList<WindowId> X11Desktop::topLevelWindows() {
    QList<WindowId> result;
    const Window root = DefaultRootWindow(m_display);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XErrorTrap trap(m_display);
    if (XGetWindowProperty(m_display, root, atom("_NET_CLIENT_LIST"), 0, 65536, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* windows = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            result.append(windows[i]);
    }
    if (data) XFree(data);
    if (!result.isEmpty() || trap.failed()) return result;
    // No window manager: the top-level windows are the root's mapped children.
    Window rootRet, parent;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(m_display, root, &rootRet, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i) {
            XWindowAttributes attrs;
            if (XGetWindowAttributes(m_display, children[i], &attrs) &&
                attrs.map_state == IsViewable && !attrs.override_redirect)
                result.append(children[i]);
        }
        if (children) XFree(children);
    }
    trap.failed();
    return result;
}

QString X11Desktop::windowTitle(WindowId window) {
    QString title;
    if (!m_display || window == 0) return title;
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XErrorTrap trap(m_display);
    if (XGetWindowProperty(m_display, window, atom("_NET_WM_NAME"), 0, 4096, False,
                           atom("UTF8_STRING"), &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
        title =
            QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
    if (data) XFree(data);
    if (title.isEmpty()) {
        XTextProperty prop{};
        if (XGetWMName(m_display, window, &prop) && prop.value) {
            char** list = nullptr;
            int n = 0;
            if (Xutf8TextPropertyToTextList(m_display, &prop, &list, &n) >= Success && n > 0 &&
                list) {
                title = QString::fromUtf8(list[0]);
                XFreeStringList(list);
            }
            XFree(prop.value);
        }
    }
    trap.failed();
    return title;
}

QList<WindowId> X11Desktop::findTopLevelWindows(const QString& titlePart) {
    QList<WindowId> found;
    if (!m_display) return found;
    for (WindowId w : topLevelWindows())
        if (titlePart.isEmpty() || windowTitle(w).contains(titlePart)) found.append(w);
    return found;
}

bool X11Desktop::windowExists(WindowId window) {
    if (!m_display || window == 0) return false;
    XErrorTrap trap(m_display);
    XWindowAttributes attrs;
    const Status ok = XGetWindowAttributes(m_display, window, &attrs);
    return !trap.failed() && ok;
}

void X11Desktop::sendWmMessage(WindowId window, XId type, long d0, long d1, long d2) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = d0;
    ev.xclient.data.l[1] = d1;
    ev.xclient.data.l[2] = d2;
    XSendEvent(m_display, DefaultRootWindow(m_display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

void X11Desktop::setForegroundWindow(WindowId window) {
    if (!m_display || window == 0) return;
    const bool managed = x11::windowManagerRunning(m_display);
    XErrorTrap trap(m_display);
    if (managed) {
        sendWmMessage(window, atom("_NET_ACTIVE_WINDOW"), 2, CurrentTime, 0);
        XRaiseWindow(m_display, window);
    } else {
        // Nobody else hands out the focus: raise the window and give it the focus ourselves.
        const Window frame = rootChildOf(m_display, window);
        XRaiseWindow(m_display, frame ? frame : window);
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    }
    XFlush(m_display);
    trap.failed();
}

void X11Desktop::setTopMost(WindowId window, bool topMost) {
    if (!m_display) return;
    XErrorTrap trap(m_display);
    sendWmMessage(window, atom("_NET_WM_STATE"), topMost ? 1 : 0,
                  static_cast<long>(atom("_NET_WM_STATE_ABOVE")), 0);
    XFlush(m_display);
    trap.failed();
}

void X11Desktop::requestClose(WindowId window) {
    if (!m_display) return;
    XErrorTrap trap(m_display);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = atom("WM_PROTOCOLS");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &ev);
    XFlush(m_display);
    trap.failed();
}

} // namespace klavoro::x11
