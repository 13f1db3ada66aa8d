#pragma once

#include "platform/inputhook.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QObject;

namespace klavoro::x11 {

class HookThread;

// The input hook on X11. A thread of its own (HookThread) reads XInput2 raw
// events on the root window, holds each press with a synchronous passive
// grab while it copies the screen and reads the element under the pointer,
// and attaches that snapshot to the press message. Messages are handed to
// the receiver on the GUI thread, in order and never re-entrantly.
//
// Mouse wheel messages (1126) carry the Windows wheel layout in wParam: the
// signed delta (+120 away from the user) in the high word; lParam is 1 for a
// horizontal turn. Activation messages (1134) carry the window in wParam.
// Move messages and releases carry the buttons held (MK_* flags) in lParam.
class X11InputHook : public InputHook {
public:
    X11InputHook();
    ~X11InputHook() override;
    X11InputHook(const X11InputHook&) = delete;
    X11InputHook& operator=(const X11InputHook&) = delete;

    bool SetHook(HookReceiver* receiver, int delay) override;
    void ResetHook() override;
    void finishPending(int ms) override;
    void setPressArea(const PressArea& area) override;
    bool isHooked() const override { return m_receiver != nullptr; }
    QString errorText() const override { return m_error; }
    int delay() const { return m_delay; }
    QString holdProblem() const override;

private:
    void receive(std::vector<InputMessage> batch); // on the hook's thread
    void deliverQueued();                          // on the GUI thread

    std::unique_ptr<HookThread> m_thread;
    std::unique_ptr<QObject> m_relay;
    QString m_error;
    HookReceiver* m_receiver = nullptr;
    int m_delay = 0;
    std::mutex m_lock;
    std::deque<InputMessage> m_inbox;
    bool m_wakePending = false;
    bool m_delivering = false;
};

} // namespace klavoro::x11
