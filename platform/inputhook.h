#pragma once

#include "platform/desktop.h"
#include "record/inputmessage.h"

#include <QString>

namespace klavoro {

// Receives the hook messages while the hook is set.
class HookReceiver {
public:
    virtual ~HookReceiver() = default;
    virtual void hookMessage(const InputMessage& message) = 0;
    // Goes into the hwnd field of every message.
    virtual WindowId hookWindow() const { return 0; }
};

// What of the screen the picture of a press needs: the whole screen, or
// only the box of the "around" target (its offsets from the pointer, before
// the text magnification `textMag` is applied, as the settings hold them).
struct PressArea {
    bool around = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    double textMag = 1.0;
    // Redaction on: the texts to cover are read with the picture, while the
    // press is held, so that they stand where the picture shows them.
    bool redact = false;
    int redactKinds = 0;
    QString redactWords;
};

// Watches all mouse and keyboard input on the desktop and the activation of
// windows, without taking input away from the applications.
// Messages arrive on the GUI thread, in order and never re-entrantly: one that
// comes in while the receiver is busy is handed over right after it returns.
class InputHook {
public:
    virtual ~InputHook() = default;
    // Starts the delivery. `delay` is kept for the caller; no message is held
    // back by it. False, with errorText(), when input cannot be watched.
    virtual bool SetHook(HookReceiver* receiver, int delay) = 0;
    virtual void ResetHook() = 0;
    // Hands the receiver, before a stop, what was pressed before it and is
    // still on its way (waits up to `ms`). Hooks that deliver at once have
    // nothing on the way.
    virtual void finishPending(int /*ms*/) {}
    // Where the next hooking takes its pictures of presses (hooks that take
    // none ignore it).
    virtual void setPressArea(const PressArea& /*area*/) {}
    virtual bool isHooked() const = 0;
    virtual QString errorText() const = 0;
    // Why presses are taken without being held (their pictures then come a
    // moment late); empty when they are held, or when the hook never holds.
    virtual QString holdProblem() const { return QString(); }
};

} // namespace klavoro
