#include "ui/frmrect.h"

#include "store/settings.h"
#include "ui/screens.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace klavoro {

std::array<QRect, 4> borderLines(const QRect& a) {
    const int left = a.x() - 1, top = a.y() - 1;
    const int right = a.x() + a.width(), bottom = a.y() + a.height(); // exclusive edges
    const int w = a.width() + 2, h = a.height() + 2;
    return {QRect(left, top, w, 1), QRect(left, bottom, w, 1), QRect(left, top, 1, h),
            QRect(right, top, 1, h)};
}

frmRect::frmRect(QObject* parent) : QObject(parent) {
    const qint32 bgr = conf().rectPointColor;
    const QColor colour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    for (auto& line : Line1) {
        line = std::make_unique<QWidget>(
            nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus);
        line->setObjectName(QStringLiteral("Line1"));
        line->setAttribute(Qt::WA_ShowWithoutActivating);
        line->setAutoFillBackground(true);
        QPalette p = line->palette();
        p.setColor(QPalette::Window, colour);
        line->setPalette(p);
    }
}

frmRect::~frmRect() = default;

void frmRect::showArea(const QRect& area) {
    if (m_shown && area == m_area) return;
    m_area = area;
    // The area is in screen pixels; the lines are windows, placed in window units.
    const std::array<QRect, 4> rects = borderLines(pixelsToWindowUnits(area));
    for (size_t i = 0; i < Line1.size(); ++i) {
        Line1[i]->setGeometry(rects[i]);
        if (!m_shown) Line1[i]->show();
        Line1[i]->raise();
    }
    m_shown = true;
}

void frmRect::hideArea() {
    for (auto& line : Line1)
        line->hide();
    m_shown = false;
}

std::array<QRect, 4> frmRect::lineRects() const {
    return borderLines(pixelsToWindowUnits(m_area));
}

} // namespace klavoro
