#pragma once

#include "platform/inputhook.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QObject;

namespace klavoro::win32 {

class Win32HookThread;

// The input hook on Windows: low-level hooks on a thread of their own
// (Win32HookThread) that take each press's snapshot before the press goes
// on. Messages are handed to the receiver on the GUI thread, in order and
// never re-entrantly.
//
// Mouse wheel messages (1126) carry the wheel's signed delta in the high
// word of wParam; lParam is 1 for a horizontal turn. Activation messages
// (1134) carry the window in wParam. Moves and releases carry the buttons
// and modifiers held (MK_* flags) in lParam.
class Win32InputHook : public InputHook {
public:
    Win32InputHook();
    ~Win32InputHook() override;
    Win32InputHook(const Win32InputHook&) = delete;
    Win32InputHook& operator=(const Win32InputHook&) = delete;

    bool SetHook(HookReceiver* receiver, int delay) override;
    void ResetHook() override;
    // Presses whose element is still being read are waited for.
    void finishPending(int ms) override;
    void setPressArea(const PressArea& area) override { m_area = area; }
    bool isHooked() const override { return m_receiver != nullptr; }
    QString errorText() const override { return m_error; }
    int delay() const { return m_delay; }

private:
    void receive(std::vector<InputMessage> batch); // on the hook's thread
    void deliverQueued();                          // on the GUI thread

    std::unique_ptr<Win32HookThread> m_thread;
    std::unique_ptr<QObject> m_relay;
    QString m_error;
    PressArea m_area;
    HookReceiver* m_receiver = nullptr;
    int m_delay = 0;
    std::mutex m_lock;
    std::deque<InputMessage> m_inbox;
    bool m_wakePending = false;
    bool m_delivering = false;
};

} // namespace klavoro::win32
