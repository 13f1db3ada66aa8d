#pragma once

#include <QStringList>

namespace klavoro::x11 {

// The IBus engines the user chose, in their order (the desktop settings
// keep them; the daemon does not tell). Empty when IBus's settings are not
// installed.
QStringList ibusPreloadEngines();

} // namespace klavoro::x11
