#pragma once

#include "platform/cursorsource.h"

#include <QString>

#include "platform/x11/xforward.h"

namespace klavoro::x11 {

// The pointer image the user sees, through XFixes (the screen copy never
// contains it). Without XFixes the image is null and errorText() says why.
class X11Cursor : public CursorSource {
public:
    X11Cursor();
    ~X11Cursor() override;
    X11Cursor(const X11Cursor&) = delete;
    X11Cursor& operator=(const X11Cursor&) = delete;

    bool isOpen() const { return m_display != nullptr && m_hasXFixes; }
    QString errorText() const { return m_error; }

    CursorImage currentCursor() override;

private:
    Display* m_display = nullptr;
    bool m_hasXFixes = false;
    QString m_error;
};

} // namespace klavoro::x11
