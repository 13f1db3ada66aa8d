#pragma once

#include <functional>

namespace klavoro {

class ConfFile;
class SessionHost;
class StatusBlock;
struct SessionState;

// The close request and the unload of the main window.
class Shutdown {
public:
    enum class Close { Proceed, Cancel };
    using Wait = std::function<void(int ms)>;

    // `wait` lets events run meanwhile (waitMs); tests pass their own.
    Shutdown(SessionHost& host, ConfFile& confFile, SessionState& state, StatusBlock& statusBlock,
             Wait wait = {});

    // Anything that asks the window to close comes here; `fromCloseBox` is
    // the window's own close box (the window manager's close). While recording
    // the close becomes the end of recording (or, with `tasktray`, the window
    // goes into the notification area); otherwise the list and the settings
    // are saved and the close goes ahead.
    Close closeRequest(bool fromCloseBox);

    // After the close went ahead: notification icon, wait marker, status
    // block, input hook, in this order. Runs once.
    void unload();

    // When the window is finally released: the list is saved once more.
    void finalRelease();

private:
    Close closeWhileIdle();

    SessionHost& m_host;
    ConfFile& m_confFile;
    SessionState& m_state;
    StatusBlock& m_statusBlock;
    Wait m_wait;
    bool m_inRequest = false;
    bool m_unloaded = false;
};

} // namespace klavoro
