#pragma once

#include "platform/x11/xforward.h"

#include <array>

namespace klavoro::x11 {

// The virtual-key code of a keysym (letters by their capital, the OEM keys as
// on a Japanese keyboard); 0 when the keysym has none.
int vkOfKeysym(XId sym);

// Keycodes of the keyboard mapped to virtual keys. Keypad keys give their
// digit codes while NumLock is on, as on Windows.
class KeycodeMap {
public:
    void load(Display* dpy);
    int vkOf(unsigned keycode, bool numLock) const;
    // A keycode that produces `vk`: a main-keyboard key before a keypad key
    // (applications treat keypad Home differently), NumLock readings last; 0 when none.
    unsigned keycodeOf(int vk) const;

private:
    std::array<unsigned char, 256> m_plain{};
    std::array<unsigned char, 256> m_numLock{};
    std::array<bool, 256> m_keypad{};
};

// Physical pointer buttons (what raw events report) to logical ones.
class ButtonMap {
public:
    void load(Display* dpy);
    int logical(int physical) const;
    int physical(int logical) const;

private:
    std::array<unsigned char, 256> m_map{};
    int m_count = 0;
};

// The modifier bit (Mod2Mask, ...) that a lock key such as XK_Num_Lock sets; 0 when none.
unsigned int modifierMaskOf(Display* dpy, XId sym);

} // namespace klavoro::x11
