#pragma once

#include <QPoint>

namespace klavoro {

enum class MouseButton { Left, Right, Middle };

// Injects input as if the user had made it.
class SyntheticInput {
public:
    virtual ~SyntheticInput() = default;
    virtual bool moveTo(QPoint screenPoint) = 0;
    // Presses or releases a button at the current pointer position.
    virtual bool button(MouseButton which, bool down) = 0;
    // One key press or release by virtual-key code; false when the keyboard has no such key.
    virtual bool sendKey(int vk, bool up) = 0;

    bool pressLeftButton() { return button(MouseButton::Left, true); }
    bool releaseLeftButton() { return button(MouseButton::Left, false); }
};

} // namespace klavoro
