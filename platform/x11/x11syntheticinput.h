#pragma once

#include "platform/syntheticinput.h"
#include "platform/x11/vkeys.h"

#include <QString>

namespace klavoro::x11 {

// Input injected with the XTEST extension.
class X11SyntheticInput : public SyntheticInput {
public:
    X11SyntheticInput();
    ~X11SyntheticInput() override;
    X11SyntheticInput(const X11SyntheticInput&) = delete;
    X11SyntheticInput& operator=(const X11SyntheticInput&) = delete;

    bool isOpen() const { return m_display != nullptr && m_hasXTest; }
    QString errorText() const { return m_error; }

    bool moveTo(QPoint screenPoint) override;
    bool button(MouseButton which, bool down) override;
    bool sendKey(int vk, bool up) override;
    // Waits until the server has handled everything sent so far.
    void sync();

private:
    Display* m_display = nullptr;
    bool m_hasXTest = false;
    QString m_error;
    KeycodeMap m_keys;
    ButtonMap m_buttons;
};

} // namespace klavoro::x11
