#pragma once

#include "platform/keystate.h"
#include "platform/x11/vkeys.h"

#include <QString>

#include <memory>

class QSocketNotifier;

namespace klavoro::x11 {

// Key state from the server's keymap and pointer buttons. Presses are also
// watched (XInput2 raw events) so that a key pressed and released between two
// reads still shows its pressed-since bit; without XInput2 that bit stays 0.
class X11KeyState : public KeyState {
public:
    X11KeyState();
    ~X11KeyState() override;
    X11KeyState(const X11KeyState&) = delete;
    X11KeyState& operator=(const X11KeyState&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    QString errorText() const { return m_error; }

    quint16 asyncKeyState(int vk) override;
    void readAll(KeyStates& out) override;
    // Whether Caps Lock (20), Num Lock (144) or Scroll Lock (145) is switched on.
    bool isLockOn(int vk);

private:
    void drainEvents();
    void readDown(std::array<bool, 256>& down);
    void reloadMaps();

    Display* m_display = nullptr;
    QString m_error;
    int m_xiOpcode = -1;
    KeycodeMap m_keys;
    ButtonMap m_buttons;
    unsigned int m_numLockMask = 0;
    std::array<bool, 256> m_pressed{};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace klavoro::x11
