// Qt first: Xlib defines macros (Bool, Status) that break Qt headers.
#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/x11/x11keystate.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace klavoro::x11 {

X11KeyState::X11KeyState() {
    m_display = openDisplay(&m_error);
    if (!m_display) return;
    reloadMaps();
    int event = 0, error = 0, major = 2, minor = 0;
    if (XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error) &&
        XIQueryVersion(m_display, &major, &minor) == Success && major >= 2) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawButtonPress);
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
        XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
        XFlush(m_display);
    } else {
        m_xiOpcode = -1;
        m_error = QStringLiteral("No XInput2: short key presses between two reads are not seen.");
    }
    // Drain while idle too, so that unread events never pile up in the server.
    if (m_xiOpcode >= 0 && QCoreApplication::instance()) {
        m_notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drainEvents(); });
    }
}

X11KeyState::~X11KeyState() {
    m_notifier.reset();
    if (m_display) XCloseDisplay(m_display);
}

void X11KeyState::reloadMaps() {
    m_keys.load(m_display);
    m_buttons.load(m_display);
    m_numLockMask = modifierMaskOf(m_display, XK_Num_Lock);
}

void X11KeyState::drainEvents() {
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            reloadMaps();
            continue;
        }
        if (ev.type != GenericEvent || ev.xcookie.extension != m_xiOpcode ||
            !XGetEventData(m_display, &ev.xcookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
        if (ev.xcookie.evtype == XI_RawKeyPress) {
            // Both readings of a keypad key count: NumLock may change in between.
            m_pressed[m_keys.vkOf(static_cast<unsigned>(raw->detail), false)] = true;
            m_pressed[m_keys.vkOf(static_cast<unsigned>(raw->detail), true)] = true;
        } else if (ev.xcookie.evtype == XI_RawButtonPress) {
            switch (m_buttons.logical(raw->detail)) {
            case 1:
                m_pressed[1] = true;
                break;
            case 3:
                m_pressed[2] = true;
                break;
            case 2:
                m_pressed[4] = true;
                break;
            default:
                break;
            }
        }
        XFreeEventData(m_display, &ev.xcookie);
    }
    m_pressed[0] = false;
}

void X11KeyState::readDown(std::array<bool, 256>& down) {
    down.fill(false);
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rx, &ry, &wx, &wy,
                  &mask);
    const bool numLock = (mask & m_numLockMask) != 0;
    for (unsigned code = 8; code < 256; ++code)
        if (keys[code / 8] & (1 << (code % 8))) down[m_keys.vkOf(code, numLock)] = true;
    down[1] = mask & Button1Mask;
    down[2] = mask & Button3Mask;
    down[4] = mask & Button2Mask;
    down[0] = false;
}

quint16 X11KeyState::asyncKeyState(int vk) {
    if (!m_display || vk <= 0 || vk > 255) return 0;
    std::array<bool, 256> down;
    readDown(down);
    // Events that reached us up to the snapshot are presses it already
    // covers, or taps it missed: both belong to this read.
    drainEvents();
    const quint16 value = (down[vk] ? kKeyIsDown : 0) | (m_pressed[vk] ? kKeyWasPressed : 0);
    m_pressed[vk] = false;
    return value;
}

bool X11KeyState::isLockOn(int vk) {
    if (!m_display) return false;
    unsigned int mask = 0;
    if (vk == 20)
        mask = LockMask;
    else if (vk == 144)
        mask = m_numLockMask;
    else if (vk == 145)
        mask = modifierMaskOf(m_display, XK_Scroll_Lock);
    XkbStateRec state{};
    if (mask == 0 || XkbGetState(m_display, XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & mask) != 0;
}

void X11KeyState::readAll(KeyStates& out) {
    out.fill(0);
    if (!m_display) return;
    std::array<bool, 256> down;
    readDown(down);
    drainEvents();
    for (int vk = 1; vk < 256; ++vk)
        out[vk] = (down[vk] ? kKeyIsDown : 0) | (m_pressed[vk] ? kKeyWasPressed : 0);
    m_pressed.fill(false);
}

} // namespace klavoro::x11
