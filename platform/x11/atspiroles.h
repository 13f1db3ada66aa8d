#pragma once

#include <QtGlobal>

namespace klavoro::x11 {

// The role number of the design for an AT-SPI role (AtspiRole); 0 for roles
// without an equivalent.
int roleFromAtspi(int atspiRole);

// The state bits of the design for an AT-SPI state set given as a mask (bit n
// set for AtspiStateType n) of an element with the given AT-SPI role.
quint32 statesFromAtspi(quint64 atspiStates, int atspiRole);

// Whether an element of this AT-SPI role is a password field, whose content
// must never be read.
bool isPasswordRole(int atspiRole);

// Whether an element of this AT-SPI role is a window of its own (a frame, a
// dialog, a window).
bool isWindowRole(int atspiRole);

} // namespace klavoro::x11
