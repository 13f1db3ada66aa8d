#pragma once

#include <QString>

namespace klavoro {

// The environment variable that overrides the program folder (tests, portable use).
inline constexpr const char* kProgramFolderEnv = "KLAVORO_HOME";

// The program folder with a trailing separator: $KLAVORO_HOME when set,
// otherwise the folder of the executable.
QString programFolder();

// Forget the cached value (tests change the environment between cases).
void resetProgramFolder();

} // namespace klavoro
