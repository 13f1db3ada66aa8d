#include "record/frozenscreen.h"

namespace klavoro {

void FrozenScreen::freeze(const QRect& area) {
    m_area = area.intersected(QRect(QPoint(0, 0), m_live.screenSize()));
    m_image = m_area.isEmpty() ? QImage() : m_live.copy(m_area);
    m_frozen = !m_image.isNull();
}

void FrozenScreen::freezeImage(const QImage& image, const QRect& area) {
    m_area = area;
    m_image = image;
    m_frozen = !m_image.isNull() && m_image.size() == area.size();
}

void FrozenScreen::thaw() {
    m_frozen = false;
    m_image = QImage();
}

QImage FrozenScreen::copy(const QRect& area) {
    if (m_frozen && m_area.contains(area)) return m_image.copy(area.translated(-m_area.topLeft()));
    return m_live.copy(area);
}

} // namespace klavoro
