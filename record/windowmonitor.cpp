#include "record/windowmonitor.h"

namespace klavoro {

WindowMonitor::WindowMonitor(Desktop& desktop) : m_desktop(desktop) {
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
}

void WindowMonitor::watch(WindowId window) {
    m_window = window;
    if (window == 0)
        m_timer.stop();
    else
        m_timer.start();
}

bool WindowMonitor::check() {
    if (m_window == 0 || m_desktop.windowExists(m_window)) return false;
    m_timer.stop();
    m_window = 0;
    if (onGone) onGone();
    return true;
}

} // namespace klavoro
