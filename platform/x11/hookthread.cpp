#include "platform/x11/hookthread.h"

#include "platform/x11/snapshottaker.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"
#include "record/keypoller.h"
#include "record/presssnapshot.h"

#include <X11/Xatom.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace klavoro::x11 {

namespace {
constexpr int kFocusPollMs = 50;
constexpr quint32 kWheelDelta = 120;
// The element's application may answer a held press for this long; the
// press then goes on whatever was learnt.
constexpr int kHoldElementMs = 40;
// A press that was not held: its element may take as long as any query.
constexpr int kUnheldElementMs = 240;
// A release this far from its press may end a drag: it gets a snapshot.
constexpr int kDragSnapshotDistance = 3;
// The pointer rests when it has not moved for this long.
constexpr int kRestMs = 25;
// The element of a resting pointer: no press is waiting for it, but one may
// come while it is read, and would wait that long for the thread.
constexpr int kRestElementMs = 40;
// Over an open menu no press can be held: the search for the item may take
// longer, a press there does not wait for it.
constexpr int kRestPopupElementMs = 150;
constexpr int kCommandWaitMs = 3000;

// Windows MK_* flags: buttons held and modifiers.
quint32 buttonFlags(unsigned int mask) {
    quint32 flags = 0;
    if (mask & Button1Mask) flags |= 0x01;
    if (mask & Button3Mask) flags |= 0x02;
    if (mask & ShiftMask) flags |= 0x04;
    if (mask & ControlMask) flags |= 0x08;
    if (mask & Button2Mask) flags |= 0x10;
    return flags;
}

quint32 downCode(int button) {
    switch (button) {
    case 1:
        return kLeftDown;
    case 2:
        return kMiddleDown;
    case 3:
        return kRightDown;
    default:
        return 0;
    }
}

bool tracing() {
    static const bool on = qEnvironmentVariableIsSet("KLAVORO_TRACE_HOOK");
    return on;
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}
} // namespace

HookThread::HookThread(Display* display, int xiOpcode, Sink sink)
    : m_display(display), m_xiOpcode(xiOpcode), m_sink(std::move(sink)) {
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

HookThread::~HookThread() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_command = Command::Quit;
    }
    const quint64 one = 1;
    if (write(m_wakeFd, &one, sizeof one) < 0) {
        // The thread still sees the command on its next turn.
    }
    if (m_thread.joinable()) m_thread.join();
    if (m_wakeFd >= 0) close(m_wakeFd);
}

bool HookThread::start(QString* error) {
    std::unique_lock<std::mutex> guard(m_lock);
    m_command = Command::Start;
    m_commandDone = false;
    const quint64 one = 1;
    if (write(m_wakeFd, &one, sizeof one) < 0) return false;
    if (!m_done.wait_for(guard, std::chrono::milliseconds(kCommandWaitMs),
                         [this] { return m_commandDone; })) {
        if (error) *error = QStringLiteral("The input thread did not answer.");
        return false;
    }
    if (!m_startResult && error) *error = m_error;
    return m_startResult;
}

void HookThread::stop() {
    std::unique_lock<std::mutex> guard(m_lock);
    m_command = Command::Stop;
    m_commandDone = false;
    const quint64 one = 1;
    if (write(m_wakeFd, &one, sizeof one) < 0) return;
    m_done.wait_for(guard, std::chrono::milliseconds(kCommandWaitMs),
                    [this] { return m_commandDone; });
}

void HookThread::setPressArea(const PressArea& area) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_nextArea = area;
}

QString HookThread::grabProblem() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_grabProblem;
}

void HookThread::run() {
    m_taker = std::make_unique<SnapshotTaker>();
    pollfd fds[2] = {{ConnectionNumber(m_display), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        Command command = Command::Idle;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            command = std::exchange(m_command, Command::Idle);
        }
        if (command != Command::Idle) {
            handleCommand(command);
            if (command == Command::Quit) break;
        }
        drain();
        process();
        flush();
        if (XPending(m_display) > 0) continue;
        fds[0].revents = fds[1].revents = 0;
        poll(fds, 2, pollTimeout());
        if (fds[1].revents & POLLIN) {
            quint64 count = 0;
            if (read(m_wakeFd, &count, sizeof count) < 0) count = 0;
        }
        if (m_hooked && !m_managed) activeWindowChanged();
        if (m_restPending && std::chrono::steady_clock::now() >= m_restDue &&
            XPending(m_display) == 0)
            pointerRested();
    }
    m_taker.reset();
    XCloseDisplay(m_display);
}

int HookThread::pollTimeout() const {
    int timeout = m_hooked && !m_managed ? kFocusPollMs : -1;
    if (m_restPending) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              m_restDue - std::chrono::steady_clock::now())
                              .count();
        const int rest = static_cast<int>(std::max<qint64>(0, left));
        timeout = timeout < 0 ? rest : std::min(timeout, rest);
    }
    return timeout;
}

bool HookThread::overPopup() {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rx, &ry, &wx, &wy,
                       &mask) ||
        child == None)
        return false;
    XErrorTrap trap(m_display);
    XWindowAttributes attrs{};
    const bool ok = XGetWindowAttributes(m_display, child, &attrs);
    return !trap.failed() && ok && attrs.override_redirect;
}

void HookThread::pointerRested() {
    m_restPending = false;
    if (!m_hooked) return;
    const QPoint at = queryPointer().pt;
    if (m_taker->isOwnWindowAt(at)) return;
    // The application there is made known now, unhurried: a held press
    // then costs only the questions about its element.
    m_taker->prepare(at);
    const bool popup = overPopup();
    if (!m_lastPressUnheld && !popup) return;
    const auto start = std::chrono::steady_clock::now();
    m_restSnapshot = m_taker->take(at, PressSnapshot::Hold::NotHeld,
                                   popup ? kRestPopupElementMs : kRestElementMs, m_area);
    if (tracing())
        fprintf(stderr, "hook: rest %d,%d popup %d element %d '%s' %.1f ms\n", at.x(), at.y(),
                popup, m_restSnapshot->elementFound, qPrintable(m_restSnapshot->element.name),
                msSince(start));
}

void HookThread::handleCommand(Command command) {
    bool result = true;
    QString error;
    if (command == Command::Start && !m_hooked) {
        m_keys.load(m_display);
        m_buttons.load(m_display);
        m_numLockMask = modifierMaskOf(m_display, XK_Num_Lock);
        if (!selectInput(true)) {
            selectInput(false);
            result = false;
            error = QStringLiteral("The X server refused the input event selection.");
        } else {
            m_hooked = true;
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_area = m_nextArea;
            }
            m_managed = windowManagerRunning(m_display);
            m_active = currentActive(); // known at the start, so not reported
            m_lastMovePt = queryPointer().pt;
            grabButtons(true);
        }
    } else if (command == Command::Stop || command == Command::Quit) {
        if (m_hooked) {
            // A press already frozen by the grab goes on to its application.
            drain();
            for (const Event& e : m_pending)
                if (e.kind == Event::GrabPress) {
                    XAllowEvents(m_display, ReplayPointer, CurrentTime);
                    XAllowEvents(m_display, AsyncKeyboard, CurrentTime);
                }
            m_pending.clear();
            grabButtons(false);
            selectInput(false);
            XSync(m_display, True); // drop what is still queued
            m_hooked = false;
            m_out.clear();
            m_movePending = false;
            m_doubleClick.reset();
            m_keyDown.fill(false);
            m_buttonDown.fill(false);
            m_heldPresses.clear();
            m_restPending = false;
            m_restSnapshot.reset();
            m_lastPressUnheld = false;
        }
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_startResult = result;
    m_error = error;
    m_commandDone = true;
    m_done.notify_all();
}

bool HookThread::selectInput(bool on) {
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

void HookThread::grabButtons(bool on) {
    const Window root = DefaultRootWindow(m_display);
    XErrorTrap trap(m_display);
    if (!on) {
        for (unsigned int button = 1; button <= 3; ++button)
            XUngrabButton(m_display, button, AnyModifier, root);
        trap.failed();
        m_grabbed = false;
        return;
    }
    // Buttons 1 to 3 only: holding the wheel would delay scrolling for nothing.
    for (unsigned int button = 1; button <= 3; ++button)
        XGrabButton(m_display, button, AnyModifier, root, False,
                    ButtonPressMask | ButtonReleaseMask, GrabModeSync, GrabModeSync, None, None);
    m_grabbed = !trap.failed();
    std::lock_guard<std::mutex> guard(m_lock);
    m_grabProblem = m_grabbed ? QString()
                              : QStringLiteral("another program has grabbed the mouse buttons "
                                               "on the desktop (X error %1)")
                                    .arg(trap.lastErrorCode());
    if (!m_grabbed) {
        for (unsigned int button = 1; button <= 3; ++button)
            XUngrabButton(m_display, button, AnyModifier, root);
    }
}

void HookThread::drain() {
    static Atom activeAtom = XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False);
    static Atom wmAtom = XInternAtom(m_display, "_NET_SUPPORTING_WM_CHECK", False);
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        Event e;
        if (ev.type == GenericEvent && ev.xcookie.extension == m_xiOpcode &&
            XGetEventData(m_display, &ev.xcookie)) {
            const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
            e.detail = raw->detail;
            e.time = raw->time;
            switch (ev.xcookie.evtype) {
            case XI_RawButtonPress:
                e.kind = Event::RawPress;
                break;
            case XI_RawButtonRelease:
                e.kind = Event::RawRelease;
                break;
            case XI_RawMotion:
                e.kind = Event::RawMotion;
                break;
            case XI_RawKeyPress:
                e.kind = Event::RawKeyPress;
                break;
            case XI_RawKeyRelease:
                e.kind = Event::RawKeyRelease;
                break;
            default:
                break;
            }
            XFreeEventData(m_display, &ev.xcookie);
        } else if (ev.type == ButtonPress) {
            e.kind = Event::GrabPress;
            e.detail = static_cast<int>(ev.xbutton.button);
            e.time = ev.xbutton.time;
            e.root = QPoint(ev.xbutton.x_root, ev.xbutton.y_root);
        } else if (ev.type == PropertyNotify) {
            if (ev.xproperty.atom == activeAtom) e.kind = Event::ActiveChanged;
            if (ev.xproperty.atom == wmAtom) e.kind = Event::WmChanged;
        } else if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            e.kind = Event::Mapping;
        }
        if (e.kind != Event::Other) m_pending.push_back(e);
    }
}

void HookThread::process() {
    while (!m_pending.empty()) {
        const Event e = m_pending.front();
        m_pending.pop_front();
        if (e.kind == Event::RawMotion) {
            m_movePending = true;
            m_moveTime = static_cast<quint32>(e.time);
            continue;
        }
        if (m_movePending) queueMove(m_moveTime);
        m_movePending = false;
        handle(e);
    }
    // Reading the pointer waits for a reply; events that come in meanwhile
    // are read on the next turn.
    if (m_movePending) queueMove(m_moveTime);
    m_movePending = false;
}

void HookThread::handle(const Event& e) {
    // Whatever the user does next may change the screen: a rest before it is stale.
    if (e.kind == Event::RawPress || e.kind == Event::RawRelease || e.kind == Event::GrabPress ||
        e.kind == Event::RawKeyPress) {
        if (e.kind != Event::RawPress) m_restSnapshot.reset();
        m_restPending = false;
    }
    if (!m_hooked) {
        if (e.kind == Event::GrabPress) {
            XAllowEvents(m_display, ReplayPointer, CurrentTime);
            XAllowEvents(m_display, AsyncKeyboard, CurrentTime);
            XFlush(m_display);
        }
        return;
    }
    switch (e.kind) {
    case Event::RawPress:
        rawPress(e);
        break;
    case Event::GrabPress:
        heldPress(e);
        break;
    case Event::RawRelease:
        rawRelease(e);
        break;
    case Event::RawKeyPress:
        rawKey(e, false);
        break;
    case Event::RawKeyRelease:
        rawKey(e, true);
        break;
    case Event::ActiveChanged:
        activeWindowChanged();
        break;
    case Event::WmChanged:
        m_managed = windowManagerRunning(m_display);
        break;
    case Event::Mapping:
        m_keys.load(m_display);
        m_buttons.load(m_display);
        m_numLockMask = modifierMaskOf(m_display, XK_Num_Lock);
        break;
    default:
        break;
    }
}

void HookThread::rawPress(const Event& e) {
    const int button = m_buttons.logical(e.detail);
    const Pointer p = queryPointer();
    if (button >= 4 && button <= 7) {
        const bool away = button == 4 || button == 7; // up, or right for the horizontal wheel
        const quint32 delta =
            away ? kWheelDelta : static_cast<quint32>(-static_cast<qint32>(kWheelDelta));
        queue(kHookWheel, (delta << 16) | buttonFlags(p.mask), button >= 6 ? 1 : 0,
              static_cast<quint32>(e.time), p.pt);
        return;
    }
    if (!downCode(button)) return;
    for (const auto& held : m_heldPresses)
        if (held.first == e.time && held.second == button) return;
    // The grab's press of the same moment follows the raw one when the grab
    // took it; it may not have been read yet.
    const auto isTwin = [&](const Event& other) {
        return other.kind == Event::GrabPress && other.time == e.time && other.detail == button;
    };
    if (m_grabbed) {
        bool twin = std::any_of(m_pending.begin(), m_pending.end(), isTwin);
        if (!twin) {
            XSync(m_display, False);
            drain();
            twin = std::any_of(m_pending.begin(), m_pending.end(), isTwin);
        }
        if (twin) return;
    }
    std::shared_ptr<PressSnapshot> s;
    const QString reason =
        m_grabbed ? QStringLiteral("another program holds the pointer") : grabProblem();
    if (m_restSnapshot && m_restSnapshot->point == p.pt) {
        // Taken when the pointer came to rest here, before the press.
        s = std::move(m_restSnapshot);
        s->notHeldReason = reason + QStringLiteral("; taken when the pointer came to rest");
        m_taker->completeElement(*s, kUnheldElementMs);
    } else {
        s = m_taker->take(p.pt, PressSnapshot::Hold::NotHeld, kUnheldElementMs, m_area);
        s->notHeldReason = reason;
    }
    m_lastPressUnheld = s->hold == PressSnapshot::Hold::NotHeld;
    if (tracing())
        fprintf(stderr, "hook: unheld press %d,%d element %d '%s' (%s)\n", p.pt.x(), p.pt.y(),
                s->elementFound, qPrintable(s->element.name), qPrintable(s->notHeldReason));
    press(button, p.pt, static_cast<quint32>(e.time), s);
}

void HookThread::heldPress(const Event& e) {
    const auto start = std::chrono::steady_clock::now();
    const std::shared_ptr<PressSnapshot> s =
        m_taker->take(e.root, PressSnapshot::Hold::Held, kHoldElementMs, m_area);
    // The press, and what queued behind it, goes on to the application.
    XAllowEvents(m_display, ReplayPointer, CurrentTime);
    XAllowEvents(m_display, AsyncKeyboard, CurrentTime);
    XFlush(m_display);
    s->holdMs = msSince(start);
    m_taker->completeElement(*s, kUnheldElementMs);
    m_lastPressUnheld = false;
    if (tracing())
        fprintf(stderr, "hook: held press %d,%d element %d '%s' timed out %d, held %.1f ms\n",
                e.root.x(), e.root.y(), s->elementFound, qPrintable(s->element.name),
                s->elementTimedOut, s->holdMs);
    m_heldPresses.emplace_back(e.time, e.detail);
    if (m_heldPresses.size() > 8) m_heldPresses.pop_front();
    press(e.detail, e.root, static_cast<quint32>(e.time), s);
}

void HookThread::press(int button, QPoint pt, quint32 time,
                       std::shared_ptr<const PressSnapshot> snapshot) {
    m_pressPoint[button] = pt;
    m_buttonDown[button] = true;
    const quint32 down = downCode(button);
    const quint32 code = m_doubleClick.press(button, time, pt) ? down + 2 : down;
    queue(kHookMouse, code, 0, time, pt, std::move(snapshot));
    flush(); // a press is wanted at once
}

void HookThread::rawRelease(const Event& e) {
    const int button = m_buttons.logical(e.detail);
    const quint32 down = downCode(button);
    if (!down) return;
    const Pointer p = queryPointer();
    std::shared_ptr<PressSnapshot> s;
    const QPoint moved = p.pt - m_pressPoint[button];
    if (m_buttonDown[button] && std::max(std::abs(moved.x()), std::abs(moved.y())) >=
                                    kDragSnapshotDistance) {
        // The end of a drag is a step too: its picture is taken now (a
        // release is never held, and nothing to note).
        s = m_taker->take(p.pt, PressSnapshot::Hold::NotHeld, kUnheldElementMs, m_area);
    }
    m_buttonDown[button] = false;
    queue(kHookMouse, down + 1, buttonFlags(p.mask), static_cast<quint32>(e.time), p.pt,
          std::move(s));
}

void HookThread::rawKey(const Event& e, bool release) {
    const Pointer p = queryPointer();
    const unsigned keycode = static_cast<unsigned>(e.detail) & 0xFF;
    const int vk = m_keys.vkOf(keycode, (p.mask & m_numLockMask) != 0);
    const bool wasDown = m_keyDown[keycode];
    m_keyDown[keycode] = !release;
    if (vk == 0) return;
    // Keystroke flags: repeat count 1, scan code, Alt, previous state, transition.
    quint32 flags = 1u | (((keycode - 8) & 0xFF) << 16);
    if (p.mask & Mod1Mask) flags |= kKeyAltFlag;
    if (release || wasDown) flags |= kKeyPreviousFlag;
    if (release) flags |= kKeyUpFlag;
    queue(kHookKey, static_cast<quint32>(vk), flags, static_cast<quint32>(e.time), p.pt);
}

void HookThread::queueMove(quint32 time) {
    const Pointer p = queryPointer();
    if (p.pt == m_lastMovePt) return; // scroll valuators and the like move nothing
    m_lastMovePt = p.pt;
    // The buttons held go along, so that a drag is known whenever the
    // message is handled: as the events said, not as the pointer is now (a
    // fast drag is long over by the time its moves are read).
    quint32 flags = buttonFlags(p.mask) & (0x04 | 0x08);
    if (m_buttonDown[1]) flags |= 0x01;
    if (m_buttonDown[3]) flags |= 0x02;
    if (m_buttonDown[2]) flags |= 0x10;
    queue(kHookMouse, kMouseMove, flags, time, p.pt);
    m_restSnapshot.reset();
    m_restPending = true;
    m_restDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRestMs);
}

HookThread::Pointer HookThread::queryPointer() {
    Pointer p;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    if (XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY,
                      &winX, &winY, &p.mask))
        p.pt = QPoint(rootX, rootY);
    return p;
}

unsigned long HookThread::currentActive() {
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

void HookThread::activeWindowChanged() {
    const unsigned long now = currentActive();
    if (now == m_active) return;
    m_active = now;
    if (now != 0)
        queue(kHookActivate, static_cast<quint32>(now), 0, tickCount(), queryPointer().pt);
}

void HookThread::queue(quint32 message, quint32 wParam, quint32 lParam, quint32 time, QPoint pt,
                       std::shared_ptr<const PressSnapshot> snapshot) {
    InputMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = time;
    m.pt = pt;
    m.snapshot = std::move(snapshot);
    m_out.push_back(std::move(m));
}

void HookThread::flush() {
    if (m_out.empty()) return;
    std::vector<InputMessage> batch;
    batch.swap(m_out);
    m_sink(std::move(batch));
}

} // namespace klavoro::x11
