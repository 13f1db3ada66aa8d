#pragma once

#include "platform/inputhook.h"
#include "platform/x11/snapshottaker.h"
#include "platform/x11/vkeys.h"
#include "platform/x11/xforward.h"
#include "record/doubleclick.h"
#include "record/inputmessage.h"

#include <QPoint>
#include <QString>

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace klavoro::x11 {

class ElementCompleter;

// Reads the desktop's input on a thread of its own, with its own X
// connection, so that neither reading input nor taking the picture of a
// press ever waits for the GUI thread.
//
// A press is held: a synchronous passive grab of buttons 1 to 3 on the root
// window freezes the pointer at the press, before any application sees it;
// the thread copies the screen, the pointer and the element under it, then
// replays the press (XAllowEvents ReplayPointer), which hands it, and the
// release queued behind it, to the application and to the grabs below the
// root (the window manager's) as if nothing had come between. A press the
// grab cannot take (another client holds the pointer, as an open menu
// does) is seen through XInput2 raw events and taken at once, not held.
class HookThread {
public:
    using Sink = std::function<void(std::vector<InputMessage>)>;

    // `display` is handed over (closed by the thread). `sink` is called on
    // the hook's thread with each batch of messages, in order.
    HookThread(Display* display, int xiOpcode, Sink sink);
    ~HookThread();
    HookThread(const HookThread&) = delete;
    HookThread& operator=(const HookThread&) = delete;

    // Starts watching and holding; false with `error` when the input events
    // cannot be selected. Waits for the thread.
    bool start(QString* error);
    // Stops watching and releases every grab. Waits for the thread (a press
    // being held is first passed on).
    void stop();

    // Where the pictures of presses come from, from the next start on.
    void setPressArea(const PressArea& area);

    // The press grab could not be made (another client's passive grab on the
    // root): presses are then all taken unheld. Empty when all is well.
    QString grabProblem() const;

    // Reads and handles every event the server sent before this call.
    void sync();
    // Whether the presses read so far have all been handed on within `ms`.
    bool waitHandedOn(int ms);

private:
    enum class Command { Idle, Start, Stop, Quit, Sync };
    // An X event as far as the hook needs it, copied off Xlib's queue.
    struct Event {
        enum Kind {
            Other,
            RawPress,
            RawRelease,
            RawMotion,
            RawKeyPress,
            RawKeyRelease,
            GrabPress, // the core press of the passive grab: the pointer is frozen
            ActiveChanged,
            WmChanged,
            Mapping,
        };
        Kind kind = Other;
        int detail = 0; // raw: physical button or key code; grab: logical button
        unsigned long time = 0;
        QPoint root;  // grab press only
        bool twin = false; // a raw press whose grab press is queued too
    };

    void run();
    void handleCommand(Command c);
    bool selectInput(bool on);
    void grabButtons(bool on);
    void drain();
    void process();
    void handle(const Event& e);
    void rawPress(const Event& e);
    void heldPress(const Event& e);
    void press(int button, QPoint pt, quint32 time, std::shared_ptr<const PressSnapshot> s);
    void rawRelease(const Event& e);
    void rawKey(const Event& e, bool release);
    void queueMove(quint32 time);
    // The pointer came to rest: over a popup (an override-redirect window) or
    // while presses cannot be held, the screen and element are taken now, so
    // that a press there that cannot be held has them as they were before it.
    void pointerRested();
    bool overPopup();
    int pollTimeout() const;
    void activeWindowChanged();
    unsigned long currentActive();
    void queue(quint32 message, quint32 wParam, quint32 lParam, quint32 time, QPoint pt,
               std::shared_ptr<const PressSnapshot> snapshot = nullptr);
    void flush();
    struct Pointer {
        QPoint pt;
        unsigned int mask = 0;
    };
    Pointer queryPointer();

    Display* m_display;
    int m_xiOpcode;
    Sink m_sink;
    int m_wakeFd = -1;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_done;
    Command m_command = Command::Idle;
    bool m_commandDone = false;
    bool m_startResult = false;
    QString m_error;
    QString m_grabProblem;
    PressArea m_nextArea;

    // Thread state.
    bool m_hooked = false;
    bool m_grabbed = false;
    std::unique_ptr<SnapshotTaker> m_taker;
    std::unique_ptr<ElementCompleter> m_completer;
    std::deque<Event> m_pending;
    std::vector<InputMessage> m_out;
    bool m_movePending = false;
    quint32 m_moveTime = 0;
    QPoint m_lastMovePt{-1, -1};
    DoubleClickTracker m_doubleClick;
    KeycodeMap m_keys;
    ButtonMap m_buttons;
    unsigned int m_numLockMask = 0;
    std::array<bool, 256> m_keyDown{};
    std::array<QPoint, 4> m_pressPoint{};
    std::array<bool, 4> m_buttonDown{};
    // The top-level window each button was pressed in, and its title then.
    std::array<SnapshotTaker::DragStart, 4> m_dragStart{};
    // Presses already handled through the grab: their raw twins are dropped.
    std::deque<std::pair<unsigned long, int>> m_heldPresses;
    unsigned long m_active = 0;
    bool m_managed = false;
    std::chrono::steady_clock::time_point m_restDue{};
    bool m_restPending = false;
    std::shared_ptr<PressSnapshot> m_restSnapshot;
    bool m_lastPressUnheld = false;
    PressArea m_area;
};

} // namespace klavoro::x11
