#pragma once

#include "platform/cursorsource.h"

namespace klavoro::win32 {

// The pointer image by GetCursorInfo: the cursor drawn into a 32-bit DIB,
// with its hot spot. A monochrome cursor (an AND and an XOR mask) is turned
// into black, white and transparent pixels; the inverting pixels of such a
// cursor (a text cursor's) are drawn black. A cursor whose bits another
// process keeps to itself is drawn as the arrow, with a log line once.
class Win32Cursor : public CursorSource {
public:
    CursorImage currentCursor() override;

private:
    CursorImage m_arrow; // read once, at the first cursor that needs it
};

// The cursor as the user sees it, premultiplied, from the bitmaps of its
// icon info read as 32-bit pixels: `color` (null for a monochrome cursor)
// and `mask`, where white is a set bit. A monochrome cursor's mask is twice
// its height: the AND mask above the XOR mask. A colour cursor whose pixels
// carry no alpha takes its transparency from the AND mask.
QImage composeCursor(const QImage& color, const QImage& mask);

} // namespace klavoro::win32
