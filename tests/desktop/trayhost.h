#pragma once

#include <QProcess>

namespace klavoro::test {

// A notification area for the test desktop: Debian's trayer, started and
// stopped by the test that needs it.
class TrayHost {
public:
    TrayHost() = default;
    ~TrayHost() { stop(); }
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Starts trayer (unless the desktop has a tray already) and waits until
    // it holds the tray selection.
    bool start();
    void stop();

    // Whether any program holds the tray selection of screen 0 now.
    static bool trayPresent();

private:
    QProcess m_process;
};

} // namespace klavoro::test
