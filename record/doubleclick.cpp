#include "record/doubleclick.h"

#include <cstdlib>

namespace klavoro {

DoubleClickTracker::DoubleClickTracker(quint32 intervalMs, int boxWidth, int boxHeight)
    : m_interval(intervalMs), m_halfWidth(boxWidth / 2), m_halfHeight(boxHeight / 2) {}

bool DoubleClickTracker::press(int button, quint32 time, QPoint pt) {
    // Unsigned subtraction keeps working when the millisecond clock wraps.
    const bool isDouble = m_pending && button == m_button && time - m_time <= m_interval &&
                          std::abs(pt.x() - m_pt.x()) <= m_halfWidth &&
                          std::abs(pt.y() - m_pt.y()) <= m_halfHeight;
    if (isDouble) {
        m_pending = false;
        return true;
    }
    m_pending = true;
    m_button = button;
    m_time = time;
    m_pt = pt;
    return false;
}

} // namespace klavoro
