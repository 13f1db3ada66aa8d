#include "platform/win32/win32screencopy.h"

#include <windows.h>

#include <cstring>

namespace klavoro::win32 {

namespace {
BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* list = reinterpret_cast<QList<QRect>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        list->prepend(rect);
    else
        list->append(rect);
    return TRUE;
}
} // namespace

QRect Win32ScreenCopy::virtualScreen() {
    return QRect(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

QSize Win32ScreenCopy::screenSize() {
    return virtualScreen().size();
}

QList<QRect> Win32ScreenCopy::monitors() {
    QList<QRect> list;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.isEmpty()) list << virtualScreen();
    return list;
}

QImage Win32ScreenCopy::copy(const QRect& area) {
    const QRect r = area.intersected(virtualScreen());
    if (r.isEmpty()) return {};
    HDC screen = GetDC(nullptr);
    if (!screen) return {};
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = r.width();
    info.bmiHeader.biHeight = -r.height(); // top row first, as QImage has it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap =
        memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    QImage image;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, r.width(), r.height(), screen, r.x(), r.y(),
                   SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            image = QImage(r.width(), r.height(), QImage::Format_RGB32);
            const qsizetype rowBytes = qsizetype(r.width()) * 4;
            const auto* source = static_cast<const uchar*>(bits);
            for (int y = 0; y < r.height(); ++y)
                std::memcpy(image.scanLine(y), source + y * rowBytes, size_t(rowBytes));
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

} // namespace klavoro::win32
