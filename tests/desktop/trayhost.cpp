#include "tests/desktop/trayhost.h"

#include "tests/desktop/fixtureapp.h"

#include <QSystemTrayIcon>

#include <X11/Xlib.h>

namespace klavoro::test {

bool TrayHost::trayPresent() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Atom selection = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    const bool present = XGetSelectionOwner(display, selection) != 0;
    XCloseDisplay(display);
    return present;
}

bool TrayHost::start() {
    // The desktop's own (KLAVORO_TRAY=1) serves as well.
    if (trayPresent()) return waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("trayer"),
                    {"--edge", "top", "--align", "right", "--widthtype", "request", "--height",
                     "32", "--expand", "true", "--SetDockType", "true"});
    if (!m_process.waitForStarted(5000)) return false;
    return waitUntil([] { return trayPresent() && QSystemTrayIcon::isSystemTrayAvailable(); },
                     10000);
}

void TrayHost::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.kill();
    m_process.waitForFinished(3000);
    // Qt notices the end of the tray on its own connection, a little later.
    waitUntil([] { return !trayPresent() && !QSystemTrayIcon::isSystemTrayAvailable(); }, 5000);
}

} // namespace klavoro::test
