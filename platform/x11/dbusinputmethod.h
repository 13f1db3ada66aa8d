#pragma once

#include "platform/inputmethod.h"

#include <QDeadlineTimer>

class QDBusMessage;

namespace klavoro::x11 {

// The input method of the desktop, asked over D-Bus: fcitx5's controller on
// the session bus, or IBus on its own bus. Without either the state is
// closed and setting it does nothing; a framework that starts later is found
// on a later question. Calls are short-timed so that a framework that hangs
// cannot stall the windows.
class DBusInputMethod : public InputMethod {
public:
    explicit DBusInputMethod(int callTimeoutMs = 200);
    ~DBusInputMethod() override;
    DBusInputMethod(const DBusInputMethod&) = delete;
    DBusInputMethod& operator=(const DBusInputMethod&) = delete;

    bool isAvailable() override;
    QString frameworkName() override;
    bool isOpen() override;
    void setOpen(bool open) override;

private:
    enum class Framework { None, Fcitx5, IBus };
    void probe();
    void lost();
    QDBusMessage ibusProperty(const QString& name);
    bool ibusOpen();
    void ibusSetOpen(bool open);

    int m_timeoutMs;
    Framework m_framework = Framework::None;
    QDeadlineTimer m_nextProbe{0};
    QString m_ibusAddress;
    QString m_lastIbusEngine;
    bool m_toldMissing = false;
};

// The address of the IBus bus: IBUS_ADDRESS, or the address file the daemon
// writes for this display under the configuration folder. Empty when none.
QString ibusAddress();

// The IBus engines that mean a closed input method: the plain keyboard layouts.
bool isIbusLayoutEngine(const QString& engineName);

} // namespace klavoro::x11
