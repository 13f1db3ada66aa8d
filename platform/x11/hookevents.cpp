// The events the hook's thread turns into messages: presses (held or not),
// releases, keys, moves, activation, and the snapshot of a resting pointer.
#include "platform/x11/hookthread.h"

#include "platform/x11/elementcompleter.h"
#include "platform/x11/hookthreadshared.h"
#include "platform/x11/snapshottaker.h"
#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"
#include "record/keypoller.h"
#include "record/presssnapshot.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace klavoro::x11 {

using namespace hookthread;

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
    m_restSnapshot =
        m_taker->take(at, PressSnapshot::Hold::NotHeld,
                      popup ? kRestPopupElementMs : kRestElementMs, m_area, kHoldTextMs);
    if (tracing())
        fprintf(stderr, "hook: rest %d,%d popup %d element %d '%s' %.1f ms\n", at.x(), at.y(),
                popup, m_restSnapshot->elementFound, qPrintable(m_restSnapshot->element.name),
                msSince(start));
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
    } else {
        s = m_taker->take(p.pt, PressSnapshot::Hold::NotHeld, kUnheldElementMs, m_area,
                          kUnheldTextMs);
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
        m_taker->take(e.root, PressSnapshot::Hold::Held, kHoldElementMs, m_area, kHoldTextMs);
    // The press, and what queued behind it, goes on to the application.
    XAllowEvents(m_display, ReplayPointer, CurrentTime);
    XAllowEvents(m_display, AsyncKeyboard, CurrentTime);
    XFlush(m_display);
    s->holdMs = msSince(start);
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
    m_dragStart[button] = {
        snapshot && !snapshot->windows.isEmpty() ? snapshot->windows.last().topLevel : 0,
        snapshot ? snapshot->element.windowTitle : QString()};
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
    if (m_buttonDown[button] &&
        std::max(std::abs(moved.x()), std::abs(moved.y())) >= kDragSnapshotDistance) {
        // The end of a drag is a step too: its picture is taken now (a
        // release is never held, and nothing to note).
        const auto start = std::chrono::steady_clock::now();
        s = m_taker->take(p.pt, PressSnapshot::Hold::NotHeld, kUnheldElementMs, m_area,
                          kUnheldTextMs, &m_dragStart[button]);
        if (tracing())
            fprintf(stderr, "hook: drag end %d,%d element %d '%s' timed out %d, %.1f ms\n",
                    p.pt.x(), p.pt.y(), s->elementFound, qPrintable(s->element.name),
                    s->elementTimedOut, msSince(start));
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
    // As the raw events had them, not as the keys are by now.
    for (unsigned k = 0; k < m_keyDown.size(); ++k) {
        if (!m_keyDown[k] || k == keycode) continue;
        const int held = m_keys.vkOf(k, false);
        if (held == 17) flags |= kKeyCtrlFlag;
        if (held == 16) flags |= kKeyShiftFlag;
    }
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
    if (XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX,
                      &winY, &p.mask))
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
    // On through the completer, which reads late elements on its own thread.
    m_completer->push(std::move(batch));
}

} // namespace klavoro::x11
