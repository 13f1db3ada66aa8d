#pragma once

#include "platform/screencopy.h"

#include <QImage>
#include <QRect>

namespace klavoro {

// The screen as it was at a moment: a press is copied the moment its message
// comes, before any question to a window or an application can delay it; the
// capture then cuts its picture from that copy.
class FrozenScreen : public ScreenCopy {
public:
    explicit FrozenScreen(ScreenCopy& live) : m_live(live) {}

    // Copies the part of `area` that is on the screen, now.
    void freeze(const QRect& area);
    // Takes a copy made earlier of `area` of the screen.
    void freezeImage(const QImage& image, const QRect& area);
    void thaw();
    bool isFrozen() const { return m_frozen; }

    // From the frozen copy when it holds the area, else from the screen.
    QImage copy(const QRect& area) override;
    QSize screenSize() override { return m_live.screenSize(); }

private:
    ScreenCopy& m_live;
    bool m_frozen = false;
    QRect m_area;
    QImage m_image;
};

} // namespace klavoro
