#pragma once
// Conversions between Windows handles and the platform layer's values,
// shared by the Win32 services only.
#include "platform/desktop.h"

#include <QString>

#include <windows.h>

namespace klavoro::win32 {

inline HWND toHwnd(WindowId window) {
    return reinterpret_cast<HWND>(static_cast<quintptr>(window));
}

inline WindowId toId(HWND window) {
    return static_cast<WindowId>(reinterpret_cast<quintptr>(window));
}

inline QString fromWide(const wchar_t* text, int length = -1) {
    if (!text) return {};
    return length < 0 ? QString::fromWCharArray(text)
                      : QString::fromWCharArray(text, static_cast<qsizetype>(length));
}

inline std::wstring toWide(const QString& text) {
    return text.toStdWString();
}

// The text of the last Windows error, for errorText() and the log.
QString lastErrorText(DWORD code = GetLastError());

} // namespace klavoro::win32
