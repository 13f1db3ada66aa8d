#include "platform/win32/win32cursor.h"

#include "store/logs.h"

#include <atomic>

#include <windows.h>

namespace klavoro::win32 {

namespace {
bool isSet(QRgb maskPixel) {
    return (maskPixel & 0x00FFFFFF) != 0;
}

// A bitmap's pixels as 32-bit RGB, top row first; null on failure.
QImage readBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return {};
    QImage image(info.bmWidth, info.bmHeight, QImage::Format_ARGB32);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc, bitmap, 0, UINT(info.bmHeight), image.bits(), &request, DIB_RGB_COLORS) !=
        info.bmHeight)
        return {};
    return image;
}
} // namespace

QImage composeCursor(const QImage& color, const QImage& mask) {
    if (color.isNull()) {
        if (mask.isNull() || mask.height() < 2) return {};
        const int w = mask.width(), h = mask.height() / 2;
        QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < h; ++y) {
            const auto* andRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            const auto* xorRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y + h));
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const bool a = isSet(andRow[x]), b = isSet(xorRow[x]);
                if (a && !b)
                    row[x] = 0; // the screen shows through
                else if (!a && b)
                    row[x] = 0xFFFFFFFF;
                else
                    row[x] = 0xFF000000; // black, and the screen-inverting pixels
            }
        }
        return out;
    }
    QImage argb = color.convertToFormat(QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < argb.height() && !anyAlpha; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 0) {
                anyAlpha = true;
                break;
            }
    }
    if (!anyAlpha) {
        // An old colour cursor: opaque wherever the AND mask is clear.
        const bool haveMask = mask.width() >= argb.width() && mask.height() >= argb.height();
        for (int y = 0; y < argb.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(argb.scanLine(y));
            const auto* andRow =
                haveMask ? reinterpret_cast<const QRgb*>(mask.constScanLine(y)) : nullptr;
            for (int x = 0; x < argb.width(); ++x) {
                const bool transparent = andRow && isSet(andRow[x]) && (row[x] & 0xFFFFFF) == 0;
                row[x] = transparent ? 0 : (row[x] | 0xFF000000);
            }
        }
    }
    // Icons keep straight alpha; the interface wants it premultiplied.
    return argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

namespace {
// The pointer image of `cursor`, or a null image when its bits cannot be read.
CursorImage readCursor(HCURSOR cursor) {
    CursorImage result;
    ICONINFO icon{};
    if (!GetIconInfo(cursor, &icon)) return result;
    HDC dc = GetDC(nullptr);
    const QImage color = icon.hbmColor ? readBitmap(dc, icon.hbmColor) : QImage();
    const QImage mask = readBitmap(dc, icon.hbmMask);
    ReleaseDC(nullptr, dc);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
    if (icon.hbmMask) DeleteObject(icon.hbmMask);
    if (icon.hbmColor && color.isNull()) return result;
    result.image = composeCursor(color, mask);
    result.hotSpot = QPoint(int(icon.xHotspot), int(icon.yHotspot));
    return result;
}
} // namespace

CursorImage Win32Cursor::currentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info) || !(info.flags & CURSOR_SHOWING) || !info.hCursor) return {};
    CursorImage result = readCursor(info.hCursor);
    if (result.image.isNull()) {
        // Wine keeps a cursor to the process that made it (error 1402 here),
        // and so may Windows for a process above ours. The arrow still shows
        // where the pointer was; its shape is the one most clicks are made with.
        if (m_arrow.image.isNull()) m_arrow = readCursor(LoadCursorW(nullptr, IDC_ARROW));
        if (m_arrow.image.isNull()) return {};
        result = m_arrow;
        static std::atomic_bool said{false};
        if (!said.exchange(true))
            writeLog(
                QStringLiteral("他のアプリのマウスカーソルの形を読めないため、矢印を描きます"));
    }
    result.serial = static_cast<quint64>(reinterpret_cast<quintptr>(info.hCursor));
    return result;
}

} // namespace klavoro::win32
