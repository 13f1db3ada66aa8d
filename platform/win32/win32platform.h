#pragma once

#include "platform/services.h"

#include <QStringList>

#include <memory>

namespace klavoro {
class TreeScreenText;
}

namespace klavoro::win32 {

class MsaaAccessibility;
class Win32InputMethod;
class Win32Cursor;
class Win32Desktop;
class Win32HotKeys;
class Win32InputHook;
class Win32KeyState;
class Win32ScreenCopy;
class Win32SharedMemory;
class Win32Shell;
class Win32SoundPlayer;
class Win32SyntheticInput;

// The platform services of a Windows desktop, made once at start-up on the
// GUI thread (the hot keys' window and the accessibility objects belong to
// it). A service that is missing here is null in the record and named in
// problems().
class Win32Platform {
public:
    Win32Platform();
    ~Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    PlatformServices* services() { return &m_services; }
    // One line per service that cannot work, for the log.
    QStringList problems() const { return m_problems; }

private:
    std::unique_ptr<Win32Desktop> m_desktop;
    std::unique_ptr<Win32InputHook> m_hook;
    std::unique_ptr<Win32KeyState> m_keys;
    std::unique_ptr<Win32HotKeys> m_hotKeys;
    std::unique_ptr<Win32SharedMemory> m_statusMemory;
    std::unique_ptr<Win32SyntheticInput> m_input;
    std::unique_ptr<Win32ScreenCopy> m_screen;
    std::unique_ptr<Win32Cursor> m_cursor;
    std::unique_ptr<Win32Shell> m_shell;
    std::unique_ptr<MsaaAccessibility> m_accessibility;
    std::unique_ptr<Win32SoundPlayer> m_sound;
    std::unique_ptr<MsaaAccessibility> m_textAccessibility;
    std::unique_ptr<TreeScreenText> m_screenText;
    std::unique_ptr<Win32InputMethod> m_inputMethod;
    PlatformServices m_services;
    QStringList m_problems;
};

} // namespace klavoro::win32
