#pragma once

#include "platform/services.h"

#include <QStringList>

#include <memory>

namespace klavoro::x11 {

class AtspiAccessibility;
class AtspiScreenText;
class DBusInputMethod;
class PosixSharedMemory;
class ProcessSoundPlayer;
class X11Cursor;
class X11Desktop;
class X11HotKeys;
class X11InputHook;
class X11KeyState;
class X11ScreenCopy;
class X11SyntheticInput;
class XdgShell;

// The platform services of an X11 desktop, made once at start-up. A service
// that cannot work here (no XInput2, no XTEST, ...) stays in the record and
// answers empty; its errorText() is in problems().
class X11Platform {
public:
    X11Platform();
    ~X11Platform();
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;

    PlatformServices* services() { return &m_services; }
    // One line per service that cannot work, for the log.
    QStringList problems() const { return m_problems; }

private:
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<X11InputHook> m_hook;
    std::unique_ptr<X11KeyState> m_keys;
    std::unique_ptr<X11HotKeys> m_hotKeys;
    std::unique_ptr<PosixSharedMemory> m_statusMemory;
    std::unique_ptr<X11SyntheticInput> m_input;
    std::unique_ptr<X11ScreenCopy> m_screen;
    std::unique_ptr<X11Cursor> m_cursor;
    std::unique_ptr<XdgShell> m_shell;
    std::unique_ptr<AtspiAccessibility> m_accessibility;
    std::unique_ptr<AtspiScreenText> m_screenText;
    std::unique_ptr<ProcessSoundPlayer> m_sound;
    std::unique_ptr<DBusInputMethod> m_inputMethod;
    PlatformServices m_services;
    QStringList m_problems;
};

} // namespace klavoro::x11
