#pragma once

#include "platform/cursorsource.h"
#include "platform/screencopy.h"

namespace klavoro {

// A screen made of an image, and a cursor set by the test.
class FakeScreen : public ScreenCopy, public CursorSource {
public:
    explicit FakeScreen(QSize size = {1280, 1024}, QColor fill = Qt::white)
        : m_screen(size, QImage::Format_RGB32) {
        m_screen.fill(fill);
    }
    // Draw on this to put pixels on the screen.
    QImage& pixels() { return m_screen; }
    void setCursor(const CursorImage& cursor) { m_cursor = cursor; }
    int copies = 0;
    // The monitors the test divides the screen into; none: one monitor.
    QList<QRect> monitorList;
    int monitorQueries = 0;

    QImage copy(const QRect& area) override {
        ++copies;
        const QRect clamped = area.intersected(m_screen.rect());
        return clamped.isEmpty() ? QImage() : m_screen.copy(clamped);
    }
    QSize screenSize() override { return m_screen.size(); }
    QList<QRect> monitors() override {
        ++monitorQueries;
        return monitorList.isEmpty() ? ScreenCopy::monitors() : monitorList;
    }
    CursorImage currentCursor() override { return m_cursor; }

private:
    QImage m_screen;
    CursorImage m_cursor;
};

} // namespace klavoro
