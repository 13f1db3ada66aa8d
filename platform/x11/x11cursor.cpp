#include "platform/x11/x11cursor.h"

#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/extensions/Xfixes.h>

namespace klavoro::x11 {

X11Cursor::X11Cursor() {
    m_display = openDisplay(&m_error);
    if (!m_display) return;
    int event = 0, error = 0;
    m_hasXFixes = XFixesQueryExtension(m_display, &event, &error);
    if (!m_hasXFixes)
        m_error =
            QStringLiteral("The X server has no XFIXES extension: the pointer cannot be drawn.");
}

X11Cursor::~X11Cursor() {
    if (m_display) XCloseDisplay(m_display);
}

CursorImage X11Cursor::currentCursor() {
    CursorImage cursor;
    if (!isOpen()) return cursor;
    XErrorTrap trap(m_display);
    XFixesCursorImage* image = XFixesGetCursorImage(m_display);
    if (!image || trap.failed()) {
        if (image) XFree(image);
        return cursor;
    }
    cursor.image = QImage(image->width, image->height, QImage::Format_ARGB32_Premultiplied);
    cursor.hotSpot = QPoint(image->xhot, image->yhot);
    cursor.serial = image->cursor_serial;
    // Xlib hands each 32-bit premultiplied ARGB pixel over in an unsigned long.
    const unsigned long* src = image->pixels;
    for (int y = 0; y < image->height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(cursor.image.scanLine(y));
        for (int x = 0; x < image->width; ++x)
            line[x] = static_cast<QRgb>(*src++ & 0xFFFFFFFFUL);
    }
    XFree(image);
    return cursor;
}

} // namespace klavoro::x11
