#pragma once

#include "record/modifierflags.h"

#include <QString>

namespace klavoro {

class Dialogs;
class KeyState;

// The step's event name of a mouse event kind: the base name ("Left",
// "LDrag", "Right", ...) followed by "+Ctrl", "+Shift", "+Alt" for the
// modifiers that are down now or were pressed since they were last read.
// An unknown kind gives the empty base; unless the kind is "Key" the user is
// told with the message "error!". `keyCode` is not used for mouse kinds.
QString MakeEventName(const QString& kind, int keyCode, KeyState& keys, Dialogs& dialogs);

// "Ctrl+Shiftを押しながら" and the like from the sampled flags; empty without modifiers.
QString modifierPhrase(const ModifierFlags& flags);

// How a key press is described: "modify" (Shift, Ctrl, Alt), "control" (with
// `key record char` = 1: editing and function keys), "data" (any other key),
// or empty for code 0.
QString keyClass(int code, int keyRecordChar);

} // namespace klavoro
