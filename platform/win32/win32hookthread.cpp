#include "platform/win32/win32hookthread.h"

#include "platform/win32/win32elementreader.h"
#include "platform/win32/win32handles.h"
#include "platform/win32/win32snapshottaker.h"
#include "record/keypoller.h"
#include "record/presssnapshot.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace klavoro::win32 {

namespace {
// The element's application may answer a held press for this long; the
// press then goes on, and the element is read beside it.
constexpr int kHoldElementMs = 40;
// What the element may take in all once its press has gone on.
constexpr int kLateElementMs = 1200;
constexpr int kDragSnapshotDistance = 3;
constexpr quint32 kWheelDelta = 120;
constexpr UINT kQuitMessage = WM_APP + 1;
constexpr UINT kElementMessage = WM_APP + 2;
// The foreground is also polled: not every system sends the event.
constexpr UINT kForegroundPollMs = 50;

std::atomic<Win32HookThread*> g_current{nullptr};

bool tracing() {
    static const bool on = qEnvironmentVariableIsSet("KLAVORO_TRACE_HOOK");
    return on;
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
} // namespace

int genericVk(int vk) {
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vk;
    }
}

Win32HookThread::Win32HookThread(Sink sink) : m_sink(std::move(sink)) {}

Win32HookThread::~Win32HookThread() {
    stop();
}

bool Win32HookThread::start(const PressArea& area, QString* error) {
    if (m_thread.joinable()) return true;
    Win32HookThread* none = nullptr;
    if (!g_current.compare_exchange_strong(none, this)) {
        if (error) *error = QStringLiteral("The input hook is already set in this process.");
        return false;
    }
    m_area = area;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_startDone = m_startOk = false;
    }
    m_thread = std::thread([this] { run(); });
    std::unique_lock<std::mutex> guard(m_lock);
    m_started.wait(guard, [this] { return m_startDone; });
    if (m_startOk) return true;
    guard.unlock();
    m_thread.join();
    g_current = nullptr;
    if (error) *error = m_error;
    return false;
}

void Win32HookThread::stop() {
    if (!m_thread.joinable()) return;
    PostThreadMessageW(m_threadId, kQuitMessage, 0, 0);
    m_thread.join();
    g_current = nullptr;
}

void Win32HookThread::run() {
    m_threadId = GetCurrentThreadId();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the queue exists from here
    m_taker = std::make_unique<Win32SnapshotTaker>();
    m_reader = std::make_unique<Win32ElementReader>();
    const HINSTANCE module = GetModuleHandleW(nullptr);
    m_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0);
    m_keyboardHook =
        m_mouseHook ? SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0) : nullptr;
    m_foregroundHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                       foregroundProc, 0, 0, WINEVENT_OUTOFCONTEXT);
    m_active = GetForegroundWindow(); // known at the start, so not reported
    const UINT_PTR poll = SetTimer(nullptr, 0, kForegroundPollMs, nullptr);
    const bool ok = m_mouseHook && m_keyboardHook;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_startOk = ok;
        if (!ok)
            m_error = QStringLiteral("Windows refused the input hooks (%1).").arg(lastErrorText());
        m_startDone = true;
    }
    m_started.notify_all();
    while (ok && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kQuitMessage) break;
        if (msg.hwnd == nullptr && msg.message == kElementMessage) {
            applyLateElements();
            continue;
        }
        if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == poll) {
            foreground(GetForegroundWindow());
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (poll) KillTimer(nullptr, poll);
    if (m_foregroundHook) UnhookWinEvent(m_foregroundHook);
    if (m_keyboardHook) UnhookWindowsHookEx(m_keyboardHook);
    if (m_mouseHook) UnhookWindowsHookEx(m_mouseHook);
    m_foregroundHook = nullptr;
    m_keyboardHook = m_mouseHook = nullptr;
    m_reader.reset(); // joins: no late element comes after this
    m_taker.reset();
    std::lock_guard<std::mutex> guard(m_lock);
    m_out.clear();
    m_waiting.clear();
    m_lateDone.clear();
    m_handedOn.notify_all();
}

LRESULT CALLBACK Win32HookThread::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION)
        if (Win32HookThread* self = g_current.load())
            self->mouse(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Win32HookThread::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION)
        if (Win32HookThread* self = g_current.load())
            self->key(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Win32HookThread::foregroundProc(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG,
                                              DWORD, DWORD) {
    if (object == OBJID_WINDOW)
        if (Win32HookThread* self = g_current.load()) self->foreground(window);
}

quint32 Win32HookThread::heldFlags() const {
    quint32 flags = 0;
    if (m_buttonDown[1]) flags |= MK_LBUTTON;
    if (m_buttonDown[3]) flags |= MK_RBUTTON;
    if (m_buttonDown[2]) flags |= MK_MBUTTON;
    if (modifierDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (modifierDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

bool Win32HookThread::modifierDown(int generic) const {
    // Windows names the side of a modifier; injected input may not.
    const size_t left = size_t(VK_LSHIFT + 2 * (generic - VK_SHIFT));
    return m_keyDown[size_t(generic)] || m_keyDown[left] || m_keyDown[left + 1];
}

void Win32HookThread::mouse(WPARAM message, const MSLLHOOKSTRUCT& m) {
    const QPoint pt(m.pt.x, m.pt.y);
    switch (message) {
    case WM_MOUSEMOVE:
        queue(kHookMouse, kMouseMove, heldFlags(), pt);
        break;
    case WM_LBUTTONDOWN:
        press(1, pt, m.time);
        break;
    case WM_MBUTTONDOWN:
        press(2, pt, m.time);
        break;
    case WM_RBUTTONDOWN:
        press(3, pt, m.time);
        break;
    case WM_LBUTTONUP:
        release(1, pt);
        break;
    case WM_MBUTTONUP:
        release(2, pt);
        break;
    case WM_RBUTTONUP:
        release(3, pt);
        break;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // The signed delta is the high word of mouseData, as in the window message.
        const quint32 delta = (m.mouseData >> 16) & 0xFFFF;
        queue(kHookWheel, (delta << 16) | heldFlags(), message == WM_MOUSEHWHEEL ? 1 : 0, pt);
        break;
    }
    default:
        break;
    }
    if (!m_busy) flush();
}

void Win32HookThread::press(int button, QPoint pt, quint32 eventTime) {
    m_pressPoint[size_t(button)] = pt;
    m_buttonDown[size_t(button)] = true;
    const quint32 down = downCode(button);
    const quint32 code = m_doubleClick.press(button, eventTime, pt) ? down + 2 : down;
    // The press keeps its place: what comes in while it is taken follows it.
    size_t at = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        at = m_out.size();
    }
    queue(kHookMouse, code, 0, pt);
    if (m_busy) return; // a press inside a press's picture: taken without one
    ++m_busy;
    const auto start = std::chrono::steady_clock::now();
    std::shared_ptr<PressSnapshot> s = m_taker->take(pt, PressSnapshot::Hold::Held, m_area);
    if (s->hold != PressSnapshot::Hold::OwnWindow) readElement(s, kHoldElementMs);
    s->holdMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    --m_busy;
    if (tracing())
        fprintf(stderr, "hook: held press %d,%d element %d '%s' timed out %d, held %.1f ms\n",
                pt.x(), pt.y(), s->elementFound, qPrintable(s->element.name), s->elementTimedOut,
                s->holdMs);
    std::lock_guard<std::mutex> guard(m_lock);
    m_out[at].snapshot = std::move(s);
}

void Win32HookThread::release(int button, QPoint pt) {
    const quint32 down = downCode(button);
    std::shared_ptr<PressSnapshot> s;
    const QPoint moved = pt - m_pressPoint[size_t(button)];
    if (m_buttonDown[size_t(button)] && !m_busy &&
        std::max(std::abs(moved.x()), std::abs(moved.y())) >= kDragSnapshotDistance) {
        // The end of a drag is a step too: its picture is taken now.
        ++m_busy;
        auto taken = m_taker->take(pt, PressSnapshot::Hold::NotHeld, m_area);
        // Its application has the release already: nothing to wait for here.
        if (taken->hold != PressSnapshot::Hold::OwnWindow) readElement(taken, 0);
        s = std::move(taken);
        --m_busy;
    }
    m_buttonDown[size_t(button)] = false;
    queue(kHookMouse, down + 1, heldFlags(), pt, std::move(s));
}

void Win32HookThread::key(WPARAM message, const KBDLLHOOKSTRUCT& k) {
    const bool release = message == WM_KEYUP || message == WM_SYSKEYUP;
    const unsigned vk = k.vkCode & 0xFF;
    const bool wasDown = m_keyDown[vk];
    m_keyDown[vk] = !release;
    // Keystroke flags: repeat count 1, scan code, extended key, Alt, previous state, transition.
    quint32 flags = 1u | ((k.scanCode & 0xFF) << 16);
    if (k.flags & LLKHF_EXTENDED) flags |= 1u << 24;
    if (k.flags & LLKHF_ALTDOWN) flags |= kKeyAltFlag;
    // As the hook saw them, not as the keys are when the message is read.
    if (modifierDown(VK_CONTROL) && genericVk(int(vk)) != VK_CONTROL) flags |= kKeyCtrlFlag;
    if (modifierDown(VK_SHIFT) && genericVk(int(vk)) != VK_SHIFT) flags |= kKeyShiftFlag;
    if (release || wasDown) flags |= kKeyPreviousFlag;
    if (release) flags |= kKeyUpFlag;
    POINT cursor{};
    GetCursorPos(&cursor);
    queue(kHookKey, quint32(genericVk(int(vk))), flags, QPoint(cursor.x, cursor.y));
    if (!m_busy) flush();
}

void Win32HookThread::foreground(HWND window) {
    if (!window || window == m_active) return;
    m_active = window;
    POINT cursor{};
    GetCursorPos(&cursor);
    queue(kHookActivate, quint32(toId(window)), 0, QPoint(cursor.x, cursor.y));
    if (!m_busy) flush();
}

void Win32HookThread::queue(quint32 message, quint32 wParam, quint32 lParam, QPoint pt,
                            std::shared_ptr<const PressSnapshot> snapshot) {
    InputMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    // The program's one clock, as the key poller's, not the event's tick count.
    m.time = tickCount();
    m.pt = pt;
    m.snapshot = std::move(snapshot);
    std::lock_guard<std::mutex> guard(m_lock);
    m_out.push_back(std::move(m));
}

void Win32HookThread::readElement(const std::shared_ptr<PressSnapshot>& s, int waitMs) {
    const DWORD thread = m_threadId;
    std::weak_ptr<PressSnapshot> weak = s;
    std::optional<NamedElement> named =
        m_reader->read(s->point, waitMs, kLateElementMs, [this, thread, weak](NamedElement late) {
            {
                std::lock_guard<std::mutex> guard(m_lock);
                if (auto waiting = weak.lock()) m_lateDone.emplace_back(waiting, std::move(late));
            }
            PostThreadMessageW(thread, kElementMessage, 0, 0);
        });
    if (!named) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_waiting.push_back(s);
        return;
    }
    s->elementFound = named->found;
    s->element = named->info;
    s->elementKey = named->key;
    s->elementHitKey = named->hitKey;
    s->elementTimedOut = named->timedOut;
}

void Win32HookThread::applyLateElements() {
    std::vector<std::pair<std::shared_ptr<PressSnapshot>, NamedElement>> done;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        done.swap(m_lateDone);
    }
    for (auto& [s, named] : done) {
        s->elementFound = named.found;
        s->element = named.info;
        s->elementKey = named.key;
        s->elementHitKey = named.hitKey;
        s->elementTimedOut = named.timedOut;
        s->elementLate = true;
        if (tracing())
            fprintf(stderr, "hook: late element %d,%d %d '%s'\n", s->point.x(), s->point.y(),
                    s->elementFound, qPrintable(s->element.name));
        std::lock_guard<std::mutex> guard(m_lock);
        std::erase(m_waiting, s);
    }
    if (!m_busy) flush();
}

bool Win32HookThread::waitHandedOn(int ms) {
    std::unique_lock<std::mutex> guard(m_lock);
    return m_handedOn.wait_for(guard, std::chrono::milliseconds(ms),
                               [this] { return m_waiting.empty() && m_out.empty(); });
}

void Win32HookThread::flush() {
    std::vector<InputMessage> batch;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        // Up to the first press whose element is still being read: what came
        // after it waits with it.
        size_t ready = 0;
        while (ready < m_out.size()) {
            const auto& snapshot = m_out[ready].snapshot;
            const bool waiting =
                snapshot && std::any_of(m_waiting.begin(), m_waiting.end(),
                                        [&](const auto& w) { return w.get() == snapshot.get(); });
            if (waiting) break;
            ++ready;
        }
        if (ready == 0) return;
        batch.assign(std::make_move_iterator(m_out.begin()),
                     std::make_move_iterator(m_out.begin() + qsizetype(ready)));
        m_out.erase(m_out.begin(), m_out.begin() + qsizetype(ready));
    }
    m_sink(std::move(batch));
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_out.empty() && m_waiting.empty()) m_handedOn.notify_all();
}

} // namespace klavoro::win32
