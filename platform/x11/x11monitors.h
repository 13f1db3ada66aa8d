#pragma once

#include "platform/x11/xforward.h"

#include <QList>
#include <QRect>

namespace klavoro::x11 {

// The RandR 1.5 monitors of a display's default screen.
class RandrMonitors {
public:
    explicit RandrMonitors(Display* display) : m_display(display) {}
    // In screen pixels, the primary one first; one round trip. Empty when the
    // server has no RandR 1.5 (the caller then takes the whole screen).
    QList<QRect> query();

private:
    Display* m_display;
    int m_supported = -1; // unknown until the first query
};

} // namespace klavoro::x11
