#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace klavoro {

// Watches the window of the start option "hwnd": when it is gone, the
// program is to end.
class WindowMonitor : public QObject {
    Q_OBJECT
public:
    explicit WindowMonitor(Desktop& desktop);
    // Starts the 100 ms watch; 0 watches nothing.
    void watch(WindowId window);
    bool isWatching() const { return m_timer.isActive(); }
    // One check (public for tests): true when the window is gone.
    bool check();
    std::function<void()> onGone;

private:
    Desktop& m_desktop;
    QTimer m_timer;
    WindowId m_window = 0;
};

} // namespace klavoro
