#pragma once

#include <QtGlobal>

#include <array>

namespace klavoro {

// Bits of a key state value.
constexpr quint16 kKeyIsDown = 0x8000;
constexpr quint16 kKeyWasPressed = 0x0001; // pressed since that key's previous query

using KeyStates = std::array<quint16, 256>;

// The live state of keyboard keys and mouse buttons by virtual-key code
// (1 left, 2 right, 4 middle button; keyboard keys as named in KeyNames).
class KeyState {
public:
    virtual ~KeyState() = default;
    // One key; reading it clears its kKeyWasPressed bit. 0 for unknown codes.
    virtual quint16 asyncKeyState(int vk) = 0;
    // All codes 0..255 in one go, as if each had been read.
    virtual void readAll(KeyStates& out) = 0;
};

} // namespace klavoro
