#pragma once

#include "describe/elementnaming.h"
#include "platform/inputhook.h"
#include "record/doubleclick.h"
#include "record/inputmessage.h"

#include <QPoint>
#include <QString>

#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <windows.h>

namespace klavoro::win32 {

class Win32ElementReader;
class Win32SnapshotTaker;

// The low-level mouse and keyboard hooks (WH_MOUSE_LL, WH_KEYBOARD_LL) and
// the foreground event hook, on a thread of its own with its own message
// loop, so that neither reading input nor taking the picture of a press
// ever waits for the GUI thread.
//
// A press is held by the hook itself: Windows passes the press on to the
// application only when the hook procedure returns, and it returns after
// the screen, the pointer and the windows have been taken and the element
// has been read, or its short budget is spent. Windows removes a hook that
// keeps input longer than its low-level hook timeout (about 300 ms to 1 s),
// so an element read that takes longer goes on beside the hook, and the
// press, with the messages behind it, waits for it before it is handed on.
//
// One hook thread runs at a time in a process (the procedures find it
// through a static pointer).
class Win32HookThread {
public:
    using Sink = std::function<void(std::vector<InputMessage>)>;

    explicit Win32HookThread(Sink sink);
    ~Win32HookThread();
    Win32HookThread(const Win32HookThread&) = delete;
    Win32HookThread& operator=(const Win32HookThread&) = delete;

    // Starts the thread and sets the hooks; false with `error` when Windows
    // refuses them (or another hook thread of this process runs).
    bool start(const PressArea& area, QString* error);
    // Removes the hooks and ends the thread; nothing is sent after this.
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    // Whether every press read so far has been handed on within `ms`.
    bool waitHandedOn(int ms);

private:
    static LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK foregroundProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                        LONG child, DWORD thread, DWORD time);

    void run();
    void mouse(WPARAM message, const MSLLHOOKSTRUCT& m);
    void key(WPARAM message, const KBDLLHOOKSTRUCT& k);
    void foreground(HWND window);
    void press(int button, QPoint pt, quint32 eventTime);
    void release(int button, QPoint pt);
    // The element of a snapshot: now, or late (then the snapshot waits).
    void readElement(const std::shared_ptr<PressSnapshot>& s, int waitMs);
    void applyLateElements();
    quint32 heldFlags() const;
    // Shift, Ctrl or Alt (by the generic code) is held, on either side.
    bool modifierDown(int generic) const;
    void queue(quint32 message, quint32 wParam, quint32 lParam, QPoint pt,
               std::shared_ptr<const PressSnapshot> snapshot = nullptr);
    void flush();

    Sink m_sink;
    std::thread m_thread;
    DWORD m_threadId = 0;
    std::mutex m_lock;
    std::condition_variable m_started;
    bool m_startDone = false;
    bool m_startOk = false;
    QString m_error;

    // Thread state.
    PressArea m_area;
    HHOOK m_mouseHook = nullptr;
    HHOOK m_keyboardHook = nullptr;
    HWINEVENTHOOK m_foregroundHook = nullptr;
    std::unique_ptr<Win32SnapshotTaker> m_taker;
    std::unique_ptr<Win32ElementReader> m_reader;
    // Snapshots whose element is still being read, and those read since.
    std::vector<std::shared_ptr<PressSnapshot>> m_waiting;
    std::vector<std::pair<std::shared_ptr<PressSnapshot>, NamedElement>> m_lateDone;
    std::condition_variable m_handedOn;
    std::vector<InputMessage> m_out;
    int m_busy = 0;
    DoubleClickTracker m_doubleClick;
    std::array<bool, 4> m_buttonDown{};
    std::array<QPoint, 4> m_pressPoint{};
    std::array<bool, 256> m_keyDown{};
    HWND m_active = nullptr;
};

// Shared with the tests: the generic code of a left or right modifier key
// (Shift, Ctrl, Alt), as the logic names keys; other codes unchanged.
int genericVk(int vk);

} // namespace klavoro::win32
