#pragma once

#include "platform/inputhook.h"
#include "platform/x11/vkeys.h"
#include "record/doubleclick.h"

#include <array>
#include <deque>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace klavoro::x11 {

// The input hook on X11: XInput2 raw events selected on the root window of
// its own connection (no grab, so the applications still get their input),
// the pointer position read when each event is taken, window activation from
// _NET_ACTIVE_WINDOW (without a window manager, from the input focus).
//
// Mouse wheel messages (1126) carry the Windows wheel layout in wParam: the
// signed delta (+120 away from the user) in the high word; lParam is 1 for a
// horizontal turn. Activation messages (1134) carry the window in wParam.
class X11InputHook : public InputHook {
public:
    X11InputHook();
    ~X11InputHook() override;
    X11InputHook(const X11InputHook&) = delete;
    X11InputHook& operator=(const X11InputHook&) = delete;

    bool SetHook(HookReceiver* receiver, int delay) override;
    void ResetHook() override;
    bool isHooked() const override { return m_receiver != nullptr; }
    QString errorText() const override { return m_error; }
    int delay() const { return m_delay; }

private:
    struct Pointer {
        QPoint pt;
        unsigned int mask = 0;
    };
    Pointer queryPointer();
    void readEvents();
    void handleRaw(int type, const void* rawEvent);
    void queueMove(quint32 time);
    XId currentActive();
    void activeWindowChanged();
    void queue(quint32 message, quint32 wParam, quint32 lParam, quint32 time, QPoint pt);
    void deliverQueued();
    bool selectInput(bool on);

    Display* m_display = nullptr;
    int m_xiOpcode = -1;
    QString m_error;
    HookReceiver* m_receiver = nullptr;
    int m_delay = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QTimer> m_focusTimer;
    std::deque<InputMessage> m_queue;
    bool m_delivering = false;
    DoubleClickTracker m_doubleClick;
    KeycodeMap m_keys;
    ButtonMap m_buttons;
    unsigned int m_numLockMask = 0;
    std::array<bool, 256> m_keyDown{};
    QPoint m_lastMovePt{-1, -1};
    XId m_active = 0;
    bool m_managed = false;
};

} // namespace klavoro::x11
