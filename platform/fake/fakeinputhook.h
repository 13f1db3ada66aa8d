#pragma once

#include "platform/inputhook.h"

namespace klavoro {

// Delivers scripted hook messages to the receiver while the hook is set.
class FakeInputHook : public InputHook {
public:
    bool SetHook(HookReceiver* receiver, int delay) override;
    void ResetHook() override { m_receiver = nullptr; }
    bool isHooked() const override { return m_receiver != nullptr; }
    QString errorText() const override { return {}; }
    int delay() const { return m_delay; }
    int setHookCalls() const { return m_setHookCalls; }

    // Each of these advances the message clock by 10 ms; false when unhooked.
    bool mouse(quint32 mouseCode, QPoint pt);
    bool key(int vk, bool up);
    bool wheel(int delta, QPoint pt);
    bool activate(WindowId window);
    // Left press and release at `pt`.
    bool click(QPoint pt);
    bool deliver(const InputMessage& message);

private:
    HookReceiver* m_receiver = nullptr;
    int m_delay = 0;
    int m_setHookCalls = 0;
    quint32 m_time = 1000;
    QPoint m_lastPt;
};

} // namespace klavoro
