#pragma once

#include "platform/screencopy.h"

namespace klavoro::win32 {

// Copies of the screen with BitBlt from the screen's device context.
// CAPTUREBLT takes layered windows (tool tips, faded menus) along, as the
// user sees them. Usable from any one thread at a time: each copy makes and
// frees its own device contexts.
class Win32ScreenCopy : public ScreenCopy {
public:
    QImage copy(const QRect& area) override;
    QSize screenSize() override;
    // By EnumDisplayMonitors, the primary monitor first.
    QList<QRect> monitors() override;
    // The virtual screen: the bounding box of all monitors.
    static QRect virtualScreen();
};

} // namespace klavoro::win32
