#pragma once

namespace klavoro {

// Alt, Ctrl and Shift as sampled on the last tick of the input timer.
struct ModifierFlags {
    bool alt = false;
    bool ctrl = false;
    bool shift = false;
};

} // namespace klavoro
