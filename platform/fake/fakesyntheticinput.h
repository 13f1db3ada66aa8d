#pragma once

#include "describe/keystrokes.h"
#include "platform/syntheticinput.h"

#include <QList>

namespace klavoro {

// Records what would have been injected.
class FakeSyntheticInput : public SyntheticInput {
public:
    struct ButtonEvent {
        MouseButton which;
        bool down;
        QPoint at;
    };
    QList<KeyStroke> keys;
    QList<ButtonEvent> buttons;
    QPoint pointer;
    // Keys this keyboard does not have: sendKey fails for them.
    QList<int> missingKeys;

    bool moveTo(QPoint screenPoint) override {
        pointer = screenPoint;
        return true;
    }
    bool button(MouseButton which, bool down) override {
        buttons.append({which, down, pointer});
        return true;
    }
    bool sendKey(int vk, bool up) override {
        if (missingKeys.contains(vk)) return false;
        keys.append({vk, up});
        return true;
    }
};

} // namespace klavoro
