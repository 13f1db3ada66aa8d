#pragma once
// What the two halves of the hook's thread (hookthread.cpp, hookevents.cpp)
// share: its timings and small helpers. Not for use elsewhere.
#include "record/inputmessage.h"

#include <QtGlobal>

#include <X11/X.h>

#include <chrono>

namespace klavoro::x11::hookthread {

constexpr int kFocusPollMs = 50;
constexpr quint32 kWheelDelta = 120;
// The element's application may answer a held press for this long; the
// press then goes on whatever was learnt, and the rest is read afterwards.
constexpr int kHoldElementMs = 40;
// A press that was not held: its element may take as long as any query.
constexpr int kUnheldElementMs = 240;
// A release this far from its press may end a drag: it gets a snapshot.
constexpr int kDragSnapshotDistance = 3;
// The pointer rests when it has not moved for this long.
constexpr int kRestMs = 25;
// The element of a resting pointer: no press is waiting for it, but one may
// come while it is read, and would wait that long for the thread.
constexpr int kRestElementMs = 40;
// Over an open menu no press can be held: the search for the item may take
// longer, a press there does not wait for it.
constexpr int kRestPopupElementMs = 150;
// With redaction on, the texts to cover are read with the picture: a held
// press waits this much longer (what is left is read after the press), and
// so does a resting pointer's snapshot. A press that was not held (and the
// end of a drag) reads none here: its application has it already, and a
// read would only keep this thread from the next press's picture.
constexpr int kHoldTextMs = 40;
constexpr int kUnheldTextMs = 0;
constexpr int kCommandWaitMs = 3000;

// Windows MK_* flags: buttons held and modifiers.
inline quint32 buttonFlags(unsigned int mask) {
    quint32 flags = 0;
    if (mask & Button1Mask) flags |= 0x01;
    if (mask & Button3Mask) flags |= 0x02;
    if (mask & ShiftMask) flags |= 0x04;
    if (mask & ControlMask) flags |= 0x08;
    if (mask & Button2Mask) flags |= 0x10;
    return flags;
}

inline quint32 downCode(int button) {
    switch (button) {
    case 1:
        return kLeftDown;
    case 2:
        return kMiddleDown;
    case 3:
        return kRightDown;
    default:
        return 0;
    }
}

// KLAVORO_TRACE_HOOK: each press and rest on stderr.
inline bool tracing() {
    static const bool on = qEnvironmentVariableIsSet("KLAVORO_TRACE_HOOK");
    return on;
}

inline double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace klavoro::x11::hookthread
