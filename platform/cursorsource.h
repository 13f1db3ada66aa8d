#pragma once

#include <QImage>
#include <QPoint>

namespace klavoro {

// The pointer image the user currently sees.
struct CursorImage {
    QImage image;       // Format_ARGB32_Premultiplied; null when unavailable
    QPoint hotSpot;     // the pixel of the image that points
    quint64 serial = 0; // changes whenever the cursor shape changes
};

class CursorSource {
public:
    virtual ~CursorSource() = default;
    virtual CursorImage currentCursor() = 0;
};

} // namespace klavoro
