#include "platform/x11/hookthread.h"

#include "platform/x11/elementcompleter.h"
#include "platform/x11/hookthreadshared.h"
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

using namespace hookthread;

HookThread::HookThread(Display* display, int xiOpcode, Sink sink)
    : m_display(display), m_xiOpcode(xiOpcode), m_sink(std::move(sink)) {
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    // Made before the thread, so that the GUI thread may wait on it.
    m_completer = std::make_unique<ElementCompleter>(m_sink);
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
    m_completer.reset();
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

bool HookThread::waitHandedOn(int ms) {
    return m_completer->waitIdle(ms);
}

void HookThread::sync() {
    std::unique_lock<std::mutex> guard(m_lock);
    m_command = Command::Sync;
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
    } else if (command == Command::Sync && m_hooked) {
        XSync(m_display, False);
        drain();
        process();
        flush();
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
            m_completer->clear();
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
                              : QStringLiteral("他のプログラムがマウスのボタンを押さえています"
                                               "（X エラー %1）")
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

} // namespace klavoro::x11
