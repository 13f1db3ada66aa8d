#pragma once

#include "platform/desktop.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace klavoro {

// Watches a window of another program (the start option "hwnd"): when it is
// gone the program ends with it.
class WindowWatch : public QObject {
    Q_OBJECT
public:
    // `gone` runs once, on the first check that finds the window missing.
    WindowWatch(Desktop& desktop, WindowId window, std::function<void()> gone,
                int intervalMs = 100);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    WindowId window() const { return m_window; }

private:
    void check();

    Desktop& m_desktop;
    WindowId m_window;
    std::function<void()> m_gone;
    QTimer m_timer;
};

} // namespace klavoro
