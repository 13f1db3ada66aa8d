#include "record/areaselection.h"

#include <algorithm>
#include <cstdlib>

namespace klavoro {

void AreaSelection::setMode(bool on) {
    m_mode = on;
    if (!on) {
        hide();
        m_state = None;
    }
}

void AreaSelection::hide() {
    if (m_shown && m_view) m_view->hideArea();
    m_shown = false;
}

void AreaSelection::command(const QString& name, QPoint p) {
    if (name == QLatin1String("start")) {
        m_start = p;
        m_monitor = m_monitorAt ? m_monitorAt(p) : QRect();
        m_area = QRect(p, QSize(0, 0));
        m_state = Selecting;
    } else if (name == QLatin1String("move")) {
        if (m_state != Selecting) return;
        // The area between the two corners, whichever way the pointer went.
        m_area = QRect(std::min(m_start.x(), p.x()), std::min(m_start.y(), p.y()),
                       std::abs(p.x() - m_start.x()), std::abs(p.y() - m_start.y()));
        if (!m_monitor.isNull()) m_area = m_area.intersected(m_monitor);
        if (m_view) m_view->showArea(m_area);
        m_shown = true;
    } else if (name == QLatin1String("end")) {
        // An end without a start selects nothing.
        if (m_state == Selecting) m_state = Selected;
    } else if (name == QLatin1String("init")) {
        if (m_state != Selected) return;
        hide();
        m_state = None;
    }
}

std::optional<QRect> AreaSelection::takeSelection() {
    if (m_state != Selected) return std::nullopt;
    const QRect area = m_area;
    setMode(false);
    return area;
}

} // namespace klavoro
