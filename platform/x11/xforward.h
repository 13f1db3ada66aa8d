#pragma once

// Xlib's types for headers that others include: Xlib.h itself defines macros
// (Bool, Status, None, ...) that break Qt and test headers included after it.
typedef struct _XDisplay Display;

namespace klavoro::x11 {
using XId = unsigned long; // Window, Atom, KeySym
} // namespace klavoro::x11
