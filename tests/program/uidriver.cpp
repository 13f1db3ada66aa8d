// glib and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi.h>

#include "tests/program/uidriver.h"

#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/programrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

namespace klavoro::test {

namespace {

QString takeString(gchar* text) {
    const QString s = QString::fromUtf8(text ? text : "");
    g_free(text);
    return s;
}

bool has(AtspiStateSet* states, AtspiStateType state) {
    return states && atspi_state_set_contains(states, state);
}


QRect toScreenPixels(const QRect& logical, QPoint logicalOrigin, QPoint pixelOrigin, double scale) {
    if (logical.isEmpty()) return logical;
    const auto px = [&](int v, int from, int to) {
        return to + int(std::lround((v - from) * scale));
    };
    const int left = px(logical.left(), logicalOrigin.x(), pixelOrigin.x());
    const int top = px(logical.top(), logicalOrigin.y(), pixelOrigin.y());
    const int right = px(logical.left() + logical.width(), logicalOrigin.x(), pixelOrigin.x());
    const int bottom = px(logical.top() + logical.height(), logicalOrigin.y(), pixelOrigin.y());
    return QRect(left, top, right - left, bottom - top);
}

QRect screenPixelsOnMonitors(const QRect& logical, const QList<QRect>& monitors, double scale) {
    // Qt keeps a scaled monitor's top-left corner and divides its extent.
    const QPoint c = logical.center();
    const QRect* best = nullptr;
    int bestDistance = 0;
    for (const QRect& m : monitors) {
        const QRect l(m.topLeft(), QSize(int(m.width() / scale), int(m.height() / scale)));
        if (l.contains(c)) {
            // Overlapping monitors: the smallest, as Qt gives a point to it.
            if (!best || bestDistance > 0 ||
                m.width() * m.height() < best->width() * best->height())
                best = &m;
            bestDistance = 0;
            continue;
        }
        const int dx = std::max({l.left() - c.x(), 0, c.x() - l.right()});
        const int dy = std::max({l.top() - c.y(), 0, c.y() - l.bottom()});
        if (!best || dx + dy < bestDistance) {
            best = &m;
            bestDistance = dx + dy;
        }
    }
    if (!best) return toScreenPixels(logical, QPoint(), QPoint(), scale);
    return toScreenPixels(logical, best->topLeft(), best->topLeft(), scale);
}

} // namespace

struct UiDriver::Impl {
    qint64 pid = 0;
    Display* display = nullptr;
    AtspiAccessible* app = nullptr;
    double scale = 1.0;

    QList<QRect> monitors() {
        QList<QRect> out;
        int count = 0;
        if (XRRMonitorInfo* m = XRRGetMonitors(display, DefaultRootWindow(display), True, &count)) {
            for (int i = 0; i < count; ++i)
                out << QRect(m[i].x, m[i].y, m[i].width, m[i].height);
            XRRFreeMonitors(m);
        }
        return out;
    }

    // The top-left corner of a window of the program on the screen, by its
    // title (no window, or not shown: nullopt).
    std::optional<QPoint> windowOrigin(const QList<ClientWindow>& windows, const QString& title) {
        for (const ClientWindow& w : windows) {
            if (w.title != title || !w.viewable) continue;
            int x = 0, y = 0;
            Window child = 0;
            if (XTranslateCoordinates(display, w.id, DefaultRootWindow(display), 0, 0, &x, &y,
                                      &child))
                return QPoint(x, y);
        }
        return std::nullopt;
    }

    // A program under Qt scaling reports positions in its own units: each
    // window's elements are put into screen pixels from where that window
    // is on the screen; a window without a title (a menu) by its monitor.
    void toPixels(QList<UiElement>& elements, qsizetype first, const QString& title,
                  const QList<ClientWindow>& windows, const QList<QRect>& monitors) {
        if (first >= elements.size()) return;
        const QPoint logicalOrigin = elements[first].rect.topLeft();
        const std::optional<QPoint> origin = title.isEmpty() || elements[first].rect.isEmpty()
                                                 ? std::nullopt
                                                 : windowOrigin(windows, title);
        for (qsizetype i = first; i < elements.size(); ++i) {
            QRect& r = elements[i].rect;
            r = origin ? toScreenPixels(r, logicalOrigin, *origin, scale)
                       : screenPixelsOnMonitors(r, monitors, scale);
        }
    }

    ~Impl() {
        if (app) g_object_unref(app);
        if (display) XCloseDisplay(display);
    }

    // The program's application object, once it has registered.
    AtspiAccessible* application() {
        if (app) return app;
        AtspiAccessible* desktop = atspi_get_desktop(0);
        if (!desktop) return nullptr;
        GError* error = nullptr;
        const int count = atspi_accessible_get_child_count(desktop, &error);
        g_clear_error(&error);
        for (int i = 0; i < count && !app; ++i) {
            AtspiAccessible* candidate = atspi_accessible_get_child_at_index(desktop, i, &error);
            g_clear_error(&error);
            if (!candidate) continue;
            if (atspi_accessible_get_process_id(candidate, &error) == pid) {
                app = candidate;
                // Every answer fresh: nothing runs libatspi's event loop here.
                atspi_accessible_set_cache_mask(app, ATSPI_CACHE_NONE);
            } else {
                g_object_unref(candidate);
            }
            g_clear_error(&error);
        }
        g_object_unref(desktop);
        return app;
    }

    void walk(AtspiAccessible* node, const QString& window, int depth, bool items,
              QList<UiElement>& out) {
        GError* error = nullptr;
        AtspiStateSet* states = atspi_accessible_get_state_set(node);
        const bool showing = has(states, ATSPI_STATE_SHOWING);
        if (!showing || depth > 40) {
            if (states) g_object_unref(states);
            return;
        }
        UiElement e;
        e.name = takeString(atspi_accessible_get_name(node, &error));
        g_clear_error(&error);
        e.role = takeString(atspi_accessible_get_role_name(node, &error));
        g_clear_error(&error);
        e.window = window;
        e.enabled = has(states, ATSPI_STATE_ENABLED) || has(states, ATSPI_STATE_SENSITIVE);
        e.checked = has(states, ATSPI_STATE_CHECKED) || has(states, ATSPI_STATE_PRESSED);
        e.selected = has(states, ATSPI_STATE_SELECTED);
        e.focused = has(states, ATSPI_STATE_FOCUSED);
        g_object_unref(states);
        // Asked straight away: an element without the interface just fails.
        if (AtspiRect* r = atspi_component_get_extents(ATSPI_COMPONENT(node),
                                                       ATSPI_COORD_TYPE_SCREEN, &error)) {
            e.rect = QRect(r->x, r->y, r->width, r->height);
            g_free(r);
        }
        g_clear_error(&error);
        out << e;
        if (!items && (e.role == QLatin1String("list") || e.role == QLatin1String("table") ||
                       e.role == QLatin1String("tree table")))
            return;
        // Controls without children: one call fewer each.
        static const QStringList leaves = {"push button", "label",      "radio button", "check box",
                                           "slider",      "scroll bar", "list item"};
        if (leaves.contains(e.role)) return;
        const int count = atspi_accessible_get_child_count(node, &error);
        g_clear_error(&error);
        for (int i = 0; i < count; ++i) {
            AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, &error);
            g_clear_error(&error);
            if (!child) continue;
            walk(child, window, depth + 1, items, out);
            g_object_unref(child);
        }
    }

    KeyCode spare() {
        int min = 0, max = 0;
        XDisplayKeycodes(display, &min, &max);
        int per = 0;
        KeySym* map = XGetKeyboardMapping(display, KeyCode(min), max - min + 1, &per);
        KeyCode found = 0;
        for (int code = max; code >= min && !found; --code) {
            bool empty = true;
            for (int k = 0; k < per; ++k)
                empty = empty && map[(code - min) * per + k] == NoSymbol;
            if (empty) found = KeyCode(code);
        }
        XFree(map);
        return found;
    }

    void tap(KeySym sym) {
        KeyCode code = XKeysymToKeycode(display, sym);
        bool shift = false;
        KeyCode borrowed = 0;
        if (code) {
            shift = XkbKeycodeToKeysym(display, code, 0, 0) != sym &&
                    XkbKeycodeToKeysym(display, code, 0, 1) == sym;
        } else if ((borrowed = spare())) {
            KeySym syms[2] = {sym, sym};
            XChangeKeyboardMapping(display, borrowed, 2, syms, 1);
            XSync(display, False);
            pause(60); // the program reads the new keyboard map first
            code = borrowed;
        }
        if (!code) {
            ADD_FAILURE() << "no key for keysym " << sym;
            return;
        }
        const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
        XSync(display, False);
        if (borrowed) {
            pause(30);
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, borrowed, 1, &none, 1);
            XSync(display, False);
        }
        pause(15);
    }
};

UiDriver::UiDriver(qint64 pid) : d(std::make_unique<Impl>()) {
    d->pid = pid;
    d->display = XOpenDisplay(nullptr);
    d->scale = qEnvironmentVariableIsSet("KLAVORO_PROGRAM_SCALE")
                   ? qEnvironmentVariable("KLAVORO_PROGRAM_SCALE").toDouble()
                   : 1.0;
    if (d->scale <= 0) d->scale = 1.0;
    atspi_init(); // once per process; a second call answers "already done"
    atspi_set_timeout(5000, -1);
}

UiDriver::~UiDriver() = default;

QList<UiElement> UiDriver::elements(const QString& window, bool items) {
    QList<UiElement> out;
    AtspiAccessible* app = d->application();
    if (!app) return out;
    GError* error = nullptr;
    const bool scaled = d->scale != 1.0;
    const QList<ClientWindow> windows = scaled ? windowsOfProcess(d->pid) : QList<ClientWindow>();
    const QList<QRect> monitors = scaled ? d->monitors() : QList<QRect>();
    const int count = atspi_accessible_get_child_count(app, &error);
    g_clear_error(&error);
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* top = atspi_accessible_get_child_at_index(app, i, &error);
        g_clear_error(&error);
        if (!top) continue;
        const QString title = takeString(atspi_accessible_get_name(top, &error));
        g_clear_error(&error);
        const qsizetype first = out.size();
        if (window.isEmpty() || title.contains(window)) d->walk(top, title, 0, items, out);
        if (scaled) d->toPixels(out, first, title, windows, monitors);
        g_object_unref(top);
    }
    return out;
}

UiElement UiDriver::find(const Match& match, int ms, const QString& window, bool items) {
    UiElement found;
    waitUntil(
        [&] {
            for (const UiElement& e : elements(window, items))
                if (!e.rect.isEmpty() && match(e)) {
                    found = e;
                    return true;
                }
            pause(40);
            return false;
        },
        ms);
    return found;
}

UiElement UiDriver::find(const QString& role, const QString& name, int ms, const QString& window) {
    return find([&](const UiElement& e) { return e.role == role && e.name == name; }, ms, window,
                role == QLatin1String("list item"));
}

void UiDriver::moveTo(QPoint p) {
    XTestFakeMotionEvent(d->display, -1, p.x(), p.y(), CurrentTime);
    XSync(d->display, False);
    pause(40);
}

void UiDriver::click(QPoint p, MouseButton button) {
    moveTo(p);
    const unsigned int b = button == MouseButton::Left ? 1 : button == MouseButton::Middle ? 2 : 3;
    XTestFakeButtonEvent(d->display, b, True, CurrentTime);
    XSync(d->display, False);
    pause(30);
    XTestFakeButtonEvent(d->display, b, False, CurrentTime);
    XSync(d->display, False);
    pause(60);
}

void UiDriver::drag(QPoint from, QPoint to) {
    moveTo(from);
    XTestFakeButtonEvent(d->display, 1, True, CurrentTime);
    XSync(d->display, False);
    pause(60);
    for (int i = 1; i <= 4; ++i)
        moveTo(from + (to - from) * i / 4);
    XTestFakeButtonEvent(d->display, 1, False, CurrentTime);
    XSync(d->display, False);
    pause(60);
}

void UiDriver::doubleClick(QPoint p) {
    moveTo(p);
    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(d->display, 1, True, CurrentTime);
        XTestFakeButtonEvent(d->display, 1, False, CurrentTime);
        XSync(d->display, False);
        pause(40);
    }
    pause(60);
}

bool UiDriver::click(const QString& role, const QString& name, const QString& window,
                     MouseButton button) {
    const UiElement e = find(role, name, 5000, window);
    if (!e) {
        ADD_FAILURE() << "nothing to click: " << role.toStdString() << " " << name.toStdString();
        return false;
    }
    if (!e.enabled) return false;
    // A window that was just shown is known to the accessibility bus before
    // the window manager has mapped it: a press then would reach the window
    // below, which a modal dialog blocks.
    // Menus have no title of their own: those are clicked at once.
    if (!e.window.isEmpty()) waitForTop(e.window, e.centre());
    click(e.centre(), button);
    return true;
}

void UiDriver::waitForTop(const QString& window, QPoint p) {
    if (!waitUntil([&] { return windowAt(p) == window; }, 2000))
        std::fprintf(stderr, "[ driver   ] %s: not on top at %d,%d after 2 s\n", qPrintable(window),
                     p.x(), p.y());
}

void UiDriver::clickOn(const QString& window, QPoint p) {
    waitForTop(window, p);
    click(p);
}

QString UiDriver::windowAt(QPoint p) {
    Window root = DefaultRootWindow(d->display), top = 0;
    int x = 0, y = 0;
    if (!XTranslateCoordinates(d->display, root, root, p.x(), p.y(), &x, &y, &top) || !top)
        return QString();
    // The client window inside the frame carries the title.
    Window r, parent, *children = nullptr;
    unsigned int n = 0;
    QString title = windowTitle(d->display, top);
    if (title.isEmpty() && XQueryTree(d->display, top, &r, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && title.isEmpty(); ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d->display, children[i], &a) && a.map_state == IsViewable)
                title = windowTitle(d->display, children[i]);
        }
    }
    if (children) XFree(children);
    return title;
}

void UiDriver::key(const QString& sequence) {
    const QStringList parts = sequence.split(QLatin1Char('+'));
    QList<KeyCode> held;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const QString m = parts[i].toLower();
        const KeySym sym = m == QLatin1String("ctrl")    ? XK_Control_L
                           : m == QLatin1String("shift") ? XK_Shift_L
                           : m == QLatin1String("alt")   ? XK_Alt_L
                                                         : NoSymbol;
        const KeyCode code = XKeysymToKeycode(d->display, sym);
        if (!code) {
            ADD_FAILURE() << "unknown modifier in " << sequence.toStdString();
            return;
        }
        XTestFakeKeyEvent(d->display, code, True, CurrentTime);
        held << code;
    }
    const KeySym sym = XStringToKeysym(parts.last().toLatin1().constData());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d->display, sym);
    if (!code) ADD_FAILURE() << "unknown key in " << sequence.toStdString();
    if (code) {
        XTestFakeKeyEvent(d->display, code, True, CurrentTime);
        XTestFakeKeyEvent(d->display, code, False, CurrentTime);
    }
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        XTestFakeKeyEvent(d->display, *it, False, CurrentTime);
    XSync(d->display, False);
    pause(60);
}

void UiDriver::hold(const QString& keysym, bool down) {
    const KeySym sym = XStringToKeysym(keysym.toLatin1().constData());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d->display, sym);
    if (!code) {
        ADD_FAILURE() << "unknown key " << keysym.toStdString();
        return;
    }
    XTestFakeKeyEvent(d->display, code, down ? True : False, CurrentTime);
    XSync(d->display, False);
    pause(60);
}

void UiDriver::type(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        KeySym sym = NoSymbol;
        if (c == U' ')
            sym = XK_space;
        else if (c == U'\n')
            sym = XK_Return;
        else if (c < 0x100)
            sym = KeySym(c); // Latin-1 keysyms are their code points
        else
            sym = KeySym(0x01000000 + c);
        d->tap(sym);
    }
}

bool UiDriver::menu(const QString& menu, const QString& entry, const QString& window) {
    const UiElement title = find(
        [&](const UiElement& e) {
            return e.name == menu &&
                   (e.role == QLatin1String("menu") || e.role == QLatin1String("menu item"));
        },
        5000, window);
    if (!title) {
        ADD_FAILURE() << "no menu " << menu.toStdString();
        return false;
    }
    click(title.centre());
    const UiElement e = find(
        [&](const UiElement& e) { return e.name == entry && e.role == QLatin1String("menu item"); },
        5000);
    if (!e || !e.enabled) {
        if (!e)
            ADD_FAILURE() << "no menu entry " << entry.toStdString() << "\n"
                          << dump().toStdString();
        key(QStringLiteral("Escape"));
        key(QStringLiteral("Escape"));
        return false;
    }
    click(e.centre());
    return true;
}

bool UiDriver::popup(QPoint at, const PopupMenu& menu, const QString& entry,
                     const QString& submenu) {
    const QString first = submenu.isEmpty() ? entry : submenu;
    const int index = menu.entries.indexOf(first);
    const int subIndex = submenu.isEmpty() ? 0 : menu.submenus.value(submenu).indexOf(entry);
    if (index < 0 || subIndex < 0) {
        ADD_FAILURE() << "the pop-up menu has no " << entry.toStdString();
        return false;
    }
    click(at, MouseButton::Right);
    if (!waitUntil([&] { return popupOpen(); }, 5000)) {
        ADD_FAILURE() << "no pop-up menu after a right click at " << at.x() << "," << at.y();
        return false;
    }
    // Nothing is active in a menu opened by the mouse: the first Down
    // reaches the first entry. A sub-menu opened with Right starts at its first.
    for (int i = 0; i <= index; ++i)
        key(QStringLiteral("Down"));
    if (!submenu.isEmpty()) {
        key(QStringLiteral("Right"));
        for (int i = 0; i < subIndex; ++i)
            key(QStringLiteral("Down"));
    }
    key(QStringLiteral("Return"));
    return waitUntil([&] { return !popupOpen(); }, 3000);
}

bool UiDriver::popupOpen() {
    Display* display = d->display;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom toolTip = XInternAtom(display, "_NET_WM_WINDOW_TYPE_TOOLTIP", False);
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    bool open = false;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n))
        return false;
    for (unsigned int i = 0; i < n && !open; ++i) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(display, children[i], &attrs) || attrs.map_state != IsViewable ||
            !attrs.override_redirect)
            continue;
        Atom actual;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        long pid = 0;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &actual,
                               &format, &count, &after, &data) == Success &&
            data && count == 1)
            pid = *reinterpret_cast<long*>(data);
        if (data) XFree(data);
        data = nullptr;
        // Qt marks its menus as normal windows; only tool tips are set apart.
        bool popup = attrs.width > 20 && attrs.height > 20;
        if (XGetWindowProperty(display, children[i], typeAtom, 0, 16, False, XA_ATOM, &actual,
                               &format, &count, &after, &data) == Success &&
            data) {
            const auto* atoms = reinterpret_cast<const Atom*>(data);
            for (unsigned long k = 0; k < count; ++k)
                popup = popup && atoms[k] != toolTip;
        }
        if (data) XFree(data);
        open = popup && pid == d->pid;
    }
    if (children) XFree(children);
    return open;
}

bool UiDriver::keptAbove(unsigned long window) {
    Atom actual;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    bool above = false;
    if (XGetWindowProperty(d->display, window, XInternAtom(d->display, "_NET_WM_STATE", False), 0,
                           64, False, XA_ATOM, &actual, &format, &count, &after,
                           &data) == Success &&
        data) {
        const Atom wanted = XInternAtom(d->display, "_NET_WM_STATE_ABOVE", False);
        for (unsigned long i = 0; i < count; ++i)
            above = above || reinterpret_cast<const Atom*>(data)[i] == wanted;
    }
    if (data) XFree(data);
    return above;
}

void UiDriver::endClient(unsigned long window) {
    XKillClient(d->display, window);
    XSync(d->display, False);
}

QString UiDriver::dump(const QString& window) {
    QString out;
    for (const UiElement& e : elements(window, true))
        out += QStringLiteral("%1 | %2 \"%3\" %4,%5 %6x%7%8%9\n")
                   .arg(e.window.left(20), e.role, e.name.left(40))
                   .arg(e.rect.x())
                   .arg(e.rect.y())
                   .arg(e.rect.width())
                   .arg(e.rect.height())
                   .arg(e.enabled ? QString() : QStringLiteral(" disabled"),
                        e.selected ? QStringLiteral(" selected") : QString());
    return out;
}

QImage UiDriver::grab(const QRect& rect) {
    QImage out(rect.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    XImage* image = XGetImage(d->display, DefaultRootWindow(d->display), rect.x(), rect.y(),
                              unsigned(rect.width()), unsigned(rect.height()), AllPlanes, ZPixmap);
    if (!image) return out;
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x)
            out.setPixel(x, y, QRgb(XGetPixel(image, x, y)) | 0xFF000000u);
    XDestroyImage(image);
    return out;
}

} // namespace klavoro::test
