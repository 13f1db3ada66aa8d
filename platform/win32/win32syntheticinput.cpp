#include "platform/win32/win32syntheticinput.h"

#include <windows.h>

namespace klavoro::win32 {

namespace {
bool isExtendedKey(int vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

bool send(INPUT& input) {
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}
} // namespace

int Win32SyntheticInput::normalized(int pixel, int origin, int extent) {
    if (extent <= 0) return 0;
    const qint64 twice = 2 * qint64(pixel - origin) + 1;
    return int(qBound(qint64(0), twice * 65536 / (2 * qint64(extent)), qint64(65535)));
}

bool Win32SyntheticInput::moveTo(QPoint p) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalized(p.x(), GetSystemMetrics(SM_XVIRTUALSCREEN),
                             GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = normalized(p.y(), GetSystemMetrics(SM_YVIRTUALSCREEN),
                             GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return send(input);
}

bool Win32SyntheticInput::button(MouseButton which, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (which) {
    case MouseButton::Left:
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        break;
    case MouseButton::Right:
        input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        break;
    case MouseButton::Middle:
        input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
        break;
    }
    return send(input);
}

bool Win32SyntheticInput::sendKey(int vk, bool up) {
    // 1 to 6 are the mouse buttons, 7 and 255 no key at all.
    if (vk <= 6 || vk == 7 || vk >= 255) return false;
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = WORD(vk);
    input.ki.wScan = WORD(MapVirtualKeyW(UINT(vk), MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return send(input);
}

} // namespace klavoro::win32
