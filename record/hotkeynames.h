#pragma once

#include <QString>

namespace klavoro {

// The atom name of hot key `index` (0..4): "MIRUVAN0" for the pause key,
// "MIRUVAN3" for the end key, and the same pattern for the others.
inline QString hotKeyAtomName(int index) {
    return QStringLiteral("MIRUVAN") + QString::number(index);
}

} // namespace klavoro
