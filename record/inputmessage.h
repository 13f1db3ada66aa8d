#pragma once

#include <QPoint>
#include <QtGlobal>

#include <memory>

namespace klavoro {

// Hook message codes posted for each input event.
constexpr quint32 kHookMouse = 1124; // WM_USER + 100, wParam = mouse message code
constexpr quint32 kHookKey = 1125; // WM_USER + 101, wParam = virtual key, lParam = keystroke flags
constexpr quint32 kHookWheel = 1126;    // WM_USER + 102
constexpr quint32 kHookActivate = 1134; // WM_USER + 110

// Mouse message codes carried in wParam of kHookMouse.
constexpr quint32 kMouseMove = 512;
constexpr quint32 kLeftDown = 513;
constexpr quint32 kLeftUp = 514;
constexpr quint32 kLeftDblClk = 515;
constexpr quint32 kRightDown = 516;
constexpr quint32 kRightUp = 517;
constexpr quint32 kRightDblClk = 518;
constexpr quint32 kMiddleDown = 519;
constexpr quint32 kMiddleUp = 520;
constexpr quint32 kMiddleDblClk = 521;
// Non-client variants 160..169 map onto 512..521.
constexpr quint32 kNcMouseMove = 160;

// Bit 31 of a key message's lParam: set while the key is being released.
constexpr quint32 kKeyUpFlag = 0x80000000u;
// Bit 30: the key was already down (a repeat, or any release).
constexpr quint32 kKeyPreviousFlag = 0x40000000u;
// Bit 29: Alt was down.
constexpr quint32 kKeyAltFlag = 0x20000000u;
// Bits 25 and 26 (reserved in the window message): Ctrl and Shift were down
// as the key went down, set by a hook that sees every key in order. A quick
// hot key is over before the modifiers are polled.
constexpr quint32 kKeyCtrlFlag = 0x02000000u;
constexpr quint32 kKeyShiftFlag = 0x04000000u;

struct PressSnapshot;

// One input event, laid out like the window message that carries it.
struct InputMessage {
    quint64 hwnd = 0;
    quint32 message = 0;
    quint32 wParam = 0;
    quint32 lParam = 0;
    quint32 time = 0; // milliseconds, monotonic clock
    QPoint pt;        // screen pixels
    // For a press (and the release that ends a drag): the screen, the pointer
    // and the element as they were at that moment, taken by the input hook.
    // Null when the hook takes none; the pipeline then looks itself.
    std::shared_ptr<const PressSnapshot> snapshot;

    bool operator==(const InputMessage&) const = default;
};

} // namespace klavoro
