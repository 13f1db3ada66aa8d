// Qt first: Xlib defines macros (Bool, Status) that break Qt headers.
#include <QSocketNotifier>
#include <QTimer>

#include "platform/x11/x11inputhook.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"
#include "record/keypoller.h"

#include <X11/Xatom.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace klavoro::x11 {
namespace {
constexpr int kFocusPollMs = 50;
constexpr quint32 kWheelDelta = 120;

// Windows MK_* flags of the wheel message's low word.
quint32 buttonFlags(unsigned int mask) {
    quint32 flags = 0;
    if (mask & Button1Mask) flags |= 0x01;
    if (mask & Button3Mask) flags |= 0x02;
    if (mask & ShiftMask) flags |= 0x04;
    if (mask & ControlMask) flags |= 0x08;
    if (mask & Button2Mask) flags |= 0x10;
    return flags;
}
} // namespace

X11InputHook::X11InputHook() {
    m_display = openDisplay(&m_error);
    if (!m_display) return;
    int event = 0, error = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(m_display, "XInputExtension", &m_xiOpcode, &event, &error) ||
        XIQueryVersion(m_display, &major, &minor) != Success || major < 2) {
        m_xiOpcode = -1;
        m_error = QStringLiteral(
            "The X server has no XInput2 (version 2.0 or later): input cannot be watched.");
    }
}

X11InputHook::~X11InputHook() {
    ResetHook();
    m_notifier.reset();
    if (m_display) XCloseDisplay(m_display);
}

bool X11InputHook::selectInput(bool on) {
    const Window root = DefaultRootWindow(m_display);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
    XErrorTrap trap(m_display);
    XISelectEvents(m_display, root, &mask, 1);
    XSelectInput(m_display, root, on ? PropertyChangeMask : NoEventMask);
    return !trap.failed();
}

bool X11InputHook::SetHook(HookReceiver* receiver, int delay) {
    if (!m_display || m_xiOpcode < 0 || !receiver) return false;
    m_delay = delay;
    if (m_receiver) {
        m_receiver = receiver;
        return true;
    }
    m_keys.load(m_display);
    m_buttons.load(m_display);
    m_numLockMask = modifierMaskOf(m_display, XK_Num_Lock);
    if (!selectInput(true)) {
        m_error = QStringLiteral("The X server refused the input event selection.");
        selectInput(false);
        return false;
    }
    m_receiver = receiver;
    m_managed = windowManagerRunning(m_display);
    m_active = currentActive(); // known at the start, so not reported
    m_queue.clear();
    m_lastMovePt = queryPointer().pt;
    if (!m_notifier) {
        m_notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(); });
        m_focusTimer = std::make_unique<QTimer>();
        m_focusTimer->setInterval(kFocusPollMs);
        QObject::connect(m_focusTimer.get(), &QTimer::timeout, [this] {
            activeWindowChanged();
            readEvents();
        });
    }
    m_notifier->setEnabled(true);
    if (!m_managed) m_focusTimer->start();
    readEvents(); // events already read into Xlib's queue would not wake the notifier
    return true;
}

void X11InputHook::ResetHook() {
    if (!m_receiver) return;
    m_receiver = nullptr;
    if (m_notifier) m_notifier->setEnabled(false);
    if (m_focusTimer) m_focusTimer->stop();
    selectInput(false);
    XSync(m_display, True); // drop what is still queued
    m_queue.clear();
    m_doubleClick.reset();
    m_keyDown.fill(false);
}

X11InputHook::Pointer X11InputHook::queryPointer() {
    Pointer p;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    if (XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX,
                      &winY, &p.mask))
        p.pt = QPoint(rootX, rootY);
    return p;
}

void X11InputHook::queue(quint32 message, quint32 wParam, quint32 lParam, quint32 time, QPoint pt) {
    InputMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = time;
    m.pt = pt;
    m_queue.push_back(m);
}

void X11InputHook::readEvents() {
    if (!m_display) return;
    bool movePending = false;
    quint32 moveTime = 0;
    for (;;) {
        while (XPending(m_display) > 0) {
            XEvent ev;
            XNextEvent(m_display, &ev);
            if (!m_receiver) continue;
            if (ev.type == GenericEvent && ev.xcookie.extension == m_xiOpcode &&
                XGetEventData(m_display, &ev.xcookie)) {
                const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
                // Runs of motion collapse into one move at the latest position.
                if (ev.xcookie.evtype == XI_RawMotion) {
                    movePending = true;
                    moveTime = static_cast<quint32>(raw->time);
                } else {
                    if (movePending) queueMove(moveTime);
                    movePending = false;
                    handleRaw(ev.xcookie.evtype, raw);
                }
                XFreeEventData(m_display, &ev.xcookie);
            } else if (ev.type == PropertyNotify) {
                const Atom changed = ev.xproperty.atom;
                if (changed == XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False)) {
                    activeWindowChanged();
                } else if (changed == XInternAtom(m_display, "_NET_SUPPORTING_WM_CHECK", False)) {
                    m_managed = windowManagerRunning(m_display);
                    if (m_managed)
                        m_focusTimer->stop();
                    else
                        m_focusTimer->start();
                }
            } else if (ev.type == MappingNotify) {
                XRefreshKeyboardMapping(&ev.xmapping);
                m_keys.load(m_display);
                m_buttons.load(m_display);
                m_numLockMask = modifierMaskOf(m_display, XK_Num_Lock);
            }
        }
        // Reading the pointer waits for a reply, and events that come in
        // meanwhile land in Xlib's queue where the notifier cannot see them.
        if (!movePending) break;
        queueMove(moveTime);
        movePending = false;
    }
    deliverQueued();
}

void X11InputHook::queueMove(quint32 time) {
    const QPoint pt = queryPointer().pt;
    if (pt == m_lastMovePt) return; // scroll valuators and the like move nothing
    m_lastMovePt = pt;
    queue(kHookMouse, kMouseMove, 0, time, pt);
}

void X11InputHook::handleRaw(int type, const void* rawEvent) {
    const auto* raw = static_cast<const XIRawEvent*>(rawEvent);
    const quint32 time = static_cast<quint32>(raw->time);
    const Pointer p = queryPointer();
    switch (type) {
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
        const bool press = type == XI_RawButtonPress;
        const int button = m_buttons.logical(raw->detail);
        if (button >= 4 && button <= 7) {
            if (press) {
                const bool away =
                    button == 4 || button == 7; // up, or right for the horizontal wheel
                const quint32 delta =
                    away ? kWheelDelta : static_cast<quint32>(-static_cast<qint32>(kWheelDelta));
                queue(kHookWheel, (delta << 16) | buttonFlags(p.mask), button >= 6 ? 1 : 0, time,
                      p.pt);
            }
            return;
        }
        quint32 down = 0;
        switch (button) {
        case 1:
            down = kLeftDown;
            break;
        case 3:
            down = kRightDown;
            break;
        case 2:
            down = kMiddleDown;
            break;
        default:
            return;
        }
        quint32 code = press ? down : down + 1;
        if (press && m_doubleClick.press(button, time, p.pt)) code = down + 2;
        queue(kHookMouse, code, 0, time, p.pt);
        return;
    }
    case XI_RawKeyPress:
    case XI_RawKeyRelease: {
        const unsigned keycode = static_cast<unsigned>(raw->detail) & 0xFF;
        const int vk = m_keys.vkOf(keycode, (p.mask & m_numLockMask) != 0);
        const bool release = type == XI_RawKeyRelease;
        const bool wasDown = m_keyDown[keycode];
        m_keyDown[keycode] = !release;
        if (vk == 0) return;
        // Keystroke flags: repeat count 1, scan code, Alt, previous state, transition.
        quint32 flags = 1u | (((keycode - 8) & 0xFF) << 16);
        if (p.mask & Mod1Mask) flags |= kKeyAltFlag;
        if (release || wasDown) flags |= kKeyPreviousFlag;
        if (release) flags |= kKeyUpFlag;
        queue(kHookKey, static_cast<quint32>(vk), flags, time, p.pt);
        return;
    }
    default:
        return;
    }
}

XId X11InputHook::currentActive() {
    XErrorTrap trap(m_display);
    Window active = 0;
    if (m_managed) {
        const auto v = longProperty(m_display, DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW",
                                    XA_WINDOW, 1);
        active = v.empty() ? 0 : v[0];
    } else {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(m_display, &focus, &revert);
        if (focus != None && focus != PointerRoot) active = topLevelOf(m_display, focus);
    }
    return trap.failed() ? 0 : active;
}

void X11InputHook::activeWindowChanged() {
    if (!m_receiver) return;
    const Window now = currentActive();
    if (now == m_active) return;
    m_active = now;
    if (now != 0)
        queue(kHookActivate, static_cast<quint32>(now), 0, tickCount(), queryPointer().pt);
}

void X11InputHook::deliverQueued() {
    // The receiver may let events run and so come back here: it then only queues.
    if (m_delivering) return;
    m_delivering = true;
    while (!m_queue.empty() && m_receiver) {
        InputMessage m = m_queue.front();
        m_queue.pop_front();
        m.hwnd = m_receiver->hookWindow();
        m_receiver->hookMessage(m);
    }
    m_delivering = false;
    if (!m_receiver) m_queue.clear();
}

} // namespace klavoro::x11
