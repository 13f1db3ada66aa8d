#pragma once

#include "platform/syntheticinput.h"

namespace klavoro::win32 {

// Input injected with SendInput. Applications and low-level hooks see it as
// injected (LLMHF_INJECTED), the way Windows marks all synthetic input.
class Win32SyntheticInput : public SyntheticInput {
public:
    bool moveTo(QPoint screenPoint) override;
    bool button(MouseButton which, bool down) override;
    bool sendKey(int vk, bool up) override;

    // The absolute coordinate (0..65535 over `extent` pixels from `origin`)
    // that lands on `pixel`: the middle of the pixel's span, so that both
    // rounding conventions of the conversion back hit it.
    static int normalized(int pixel, int origin, int extent);
};

} // namespace klavoro::win32
