#pragma once

#include <QString>

namespace klavoro {

// The open state of the desktop's input method (Japanese input on or off) for
// the program's own windows. Without an input-method framework the state is
// always closed and setting it does nothing.
class InputMethod {
public:
    virtual ~InputMethod() = default;
    // True when a framework answers (fcitx5 or IBus on the session bus).
    virtual bool isAvailable() = 0;
    // Its name for the log ("fcitx5", "ibus"); empty when none.
    virtual QString frameworkName() = 0;
    virtual bool isOpen() = 0;
    virtual void setOpen(bool open) = 0;
};

} // namespace klavoro
