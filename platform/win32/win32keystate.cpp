#include "platform/win32/win32keystate.h"

#include <windows.h>

namespace klavoro::win32 {

quint16 Win32KeyState::asyncKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    return static_cast<quint16>(GetAsyncKeyState(vk)) & (kKeyIsDown | kKeyWasPressed);
}

void Win32KeyState::readAll(KeyStates& out) {
    for (int vk = 0; vk < 256; ++vk)
        out[size_t(vk)] = asyncKeyState(vk);
}

} // namespace klavoro::win32
