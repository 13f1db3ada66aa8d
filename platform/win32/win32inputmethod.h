#pragma once

#include "platform/inputmethod.h"

namespace klavoro::win32 {

// The open state of the input method editor of the window that has the
// keyboard focus in the calling (GUI) thread, through IMM. Nothing to open
// when that window has no input context (a control that takes no text).
class Win32InputMethod : public InputMethod {
public:
    bool isAvailable() override;
    QString frameworkName() override { return QStringLiteral("IMM"); }
    bool isOpen() override;
    void setOpen(bool open) override;
};

} // namespace klavoro::win32
