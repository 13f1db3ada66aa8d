#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace klavoro {

// Copies pixels off the screen. The copy never contains the pointer.
class ScreenCopy {
public:
    virtual ~ScreenCopy() = default;
    // The part of `area` that lies on the screen, as Format_RGB32; a null
    // image when nothing of it is on the screen or the copy failed.
    virtual QImage copy(const QRect& area) = 0;
    virtual QSize screenSize() = 0;
    // The monitors the screen is divided into, in screen pixels, the primary
    // one first; asked afresh each time, so a change shows at the next call.
    // A screen without that knowledge is one monitor.
    virtual QList<QRect> monitors() { return {QRect(QPoint(0, 0), screenSize())}; }
};

} // namespace klavoro
