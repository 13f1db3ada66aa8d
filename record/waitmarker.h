#pragma once

#include <QString>

namespace klavoro {

// The empty file "wait" in the program folder: present while recording waits
// for the next event, absent while a step is being taken. Other programs
// watch it; nothing here reads it.
QString waitMarkerPath();
void createWaitMarker();
void deleteWaitMarker();
bool waitMarkerExists();

} // namespace klavoro
