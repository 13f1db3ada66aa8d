#include "record/windowwatch.h"

namespace klavoro {

WindowWatch::WindowWatch(Desktop& desktop, WindowId window, std::function<void()> gone,
                         int intervalMs)
    : m_desktop(desktop), m_window(window), m_gone(std::move(gone)) {
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &WindowWatch::check);
}

void WindowWatch::start() {
    if (m_window != 0) m_timer.start();
}

void WindowWatch::stop() {
    m_timer.stop();
}

void WindowWatch::check() {
    if (m_desktop.windowExists(m_window)) return;
    m_timer.stop();
    if (m_gone) m_gone();
}

} // namespace klavoro
