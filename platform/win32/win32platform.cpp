#include "platform/win32/win32platform.h"

#include "platform/win32/msaaaccessibility.h"
#include "platform/win32/win32cursor.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32hotkeys.h"
#include "platform/win32/win32inputhook.h"
#include "platform/win32/win32inputmethod.h"
#include "platform/win32/win32keystate.h"
#include "platform/win32/win32screencopy.h"
#include "platform/win32/win32sharedmemory.h"
#include "platform/win32/win32shell.h"
#include "platform/win32/win32soundplayer.h"
#include "platform/win32/win32syntheticinput.h"
#include "redact/treescreentext.h"

namespace klavoro::win32 {

Win32Platform::Win32Platform()
    : m_desktop(std::make_unique<Win32Desktop>()), m_hook(std::make_unique<Win32InputHook>()),
      m_keys(std::make_unique<Win32KeyState>()), m_hotKeys(std::make_unique<Win32HotKeys>()),
      m_statusMemory(std::make_unique<Win32SharedMemory>()),
      m_input(std::make_unique<Win32SyntheticInput>()),
      m_screen(std::make_unique<Win32ScreenCopy>()), m_cursor(std::make_unique<Win32Cursor>()),
      m_shell(std::make_unique<Win32Shell>()), m_sound(std::make_unique<Win32SoundPlayer>()) {
    m_accessibility = std::make_unique<MsaaAccessibility>(*m_desktop);
    // Its own service: a scan's queries must not end another's budget.
    m_textAccessibility = std::make_unique<MsaaAccessibility>(*m_desktop);
    m_screenText = std::make_unique<TreeScreenText>(*m_desktop, *m_textAccessibility);
    m_inputMethod = std::make_unique<Win32InputMethod>();
    m_services.desktop = m_desktop.get();
    m_services.inputHook = m_hook.get();
    m_services.keyState = m_keys.get();
    m_services.hotKeys = m_hotKeys.get();
    m_services.statusMemory = m_statusMemory.get();
    m_services.syntheticInput = m_input.get();
    m_services.screenCopy = m_screen.get();
    m_services.cursor = m_cursor.get();
    m_services.shell = m_shell.get();
    m_services.accessibility = m_accessibility.get();
    m_services.sound = m_sound.get();
    m_services.screenText = m_screenText.get();
    m_services.inputMethod = m_inputMethod.get();

    if (!m_hotKeys->isOpen()) m_problems << QStringLiteral("hot keys: ") + m_hotKeys->errorText();
}

Win32Platform::~Win32Platform() {
    // The hook may still deliver to a receiver that is going away.
    if (m_hook && m_hook->isHooked()) m_hook->ResetHook();
}

} // namespace klavoro::win32
