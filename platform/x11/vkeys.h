#pragma once

#include <X11/Xlib.h>

#include <array>

namespace klavoro::x11 {

// The virtual-key code of a keysym (letters by their capital, the OEM keys as
// on a Japanese keyboard); 0 when the keysym has none.
int vkOfKeysym(KeySym sym);

// Keycodes of the keyboard mapped to virtual keys. Keypad keys give their
// digit codes while NumLock is on, as on the original platform.
class KeycodeMap {
public:
    void load(Display* dpy);
    int vkOf(unsigned keycode, bool numLock) const;
    // A keycode that produces `vk` (without NumLock first); 0 when none.
    unsigned keycodeOf(int vk) const;

private:
    std::array<unsigned char, 256> m_plain{};
    std::array<unsigned char, 256> m_numLock{};
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
unsigned int modifierMaskOf(Display* dpy, KeySym sym);

} // namespace klavoro::x11
