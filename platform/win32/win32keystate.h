#pragma once

#include "platform/keystate.h"

namespace klavoro::win32 {

// GetAsyncKeyState: the codes are already the virtual-key codes the logic uses.
class Win32KeyState : public KeyState {
public:
    quint16 asyncKeyState(int vk) override;
    void readAll(KeyStates& out) override;
};

} // namespace klavoro::win32
