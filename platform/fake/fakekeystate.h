#pragma once

#include "platform/keystate.h"

namespace klavoro {

// Key states set by the test. A press sets the key down and its
// pressed-since bit; a tap sets only the bit, as a press and release that
// both happened between two reads.
class FakeKeyState : public KeyState {
public:
    void press(int vk) {
        m_down[vk & 0xFF] = true;
        m_pressed[vk & 0xFF] = true;
    }
    void release(int vk) { m_down[vk & 0xFF] = false; }
    void tap(int vk) { m_pressed[vk & 0xFF] = true; }
    // Number of reads so far, by key.
    int reads(int vk) const { return m_reads[vk & 0xFF]; }

    quint16 asyncKeyState(int vk) override {
        const int k = vk & 0xFF;
        ++m_reads[k];
        const quint16 value = (m_down[k] ? kKeyIsDown : 0) | (m_pressed[k] ? kKeyWasPressed : 0);
        m_pressed[k] = false;
        return value;
    }
    void readAll(KeyStates& out) override {
        for (int vk = 0; vk < 256; ++vk)
            out[vk] = asyncKeyState(vk);
    }

private:
    std::array<bool, 256> m_down{};
    std::array<bool, 256> m_pressed{};
    std::array<int, 256> m_reads{};
};

} // namespace klavoro
