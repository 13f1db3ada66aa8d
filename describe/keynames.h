#pragma once

#include <QString>

#include <array>

namespace klavoro {

// Display names of the virtual-key codes 0..255; empty for codes without a
// name. The mouse buttons 1, 2 and 4 hold one blank so that they count as
// named (the key-state poller watches exactly the named codes).
const std::array<QString, 256>& KeyNames();

// The name of the low byte of `code`.
QString keyName(int code);

// Whether the key-state poller watches the code.
inline bool isNamedKey(int code) {
    return !keyName(code).isEmpty();
}

} // namespace klavoro
