#include "platform/x11/x11platform.h"

#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/dbusinputmethod.h"
#include "platform/x11/posixsharedmemory.h"
#include "platform/x11/processsoundplayer.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "platform/x11/xdgshell.h"

namespace klavoro::x11 {

X11Platform::X11Platform()
    : m_desktop(std::make_unique<X11Desktop>()), m_hook(std::make_unique<X11InputHook>()),
      m_keys(std::make_unique<X11KeyState>()), m_hotKeys(std::make_unique<X11HotKeys>()),
      m_statusMemory(std::make_unique<PosixSharedMemory>()),
      m_input(std::make_unique<X11SyntheticInput>()), m_screen(std::make_unique<X11ScreenCopy>()),
      m_cursor(std::make_unique<X11Cursor>()), m_shell(std::make_unique<XdgShell>()),
      m_sound(std::make_unique<ProcessSoundPlayer>()),
      m_inputMethod(std::make_unique<DBusInputMethod>()) {
    m_accessibility = std::make_unique<AtspiAccessibility>(*m_desktop);
    m_screenText = std::make_unique<AtspiScreenText>(*m_desktop, m_accessibility->isAvailable());
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
    m_services.screenText = m_screenText.get();
    m_services.sound = m_sound.get();
    m_services.inputMethod = m_inputMethod.get();

    auto note = [this](const char* what, bool ok, const QString& error) {
        if (!ok) m_problems << QLatin1String(what) + QStringLiteral(": ") + error;
    };
    note("desktop", m_desktop->isOpen(), m_desktop->errorText());
    note("keys", m_keys->isOpen(), m_keys->errorText());
    note("hot keys", m_hotKeys->isOpen(), m_hotKeys->errorText());
    note("input", m_input->isOpen(), m_input->errorText());
    note("screen", m_screen->isOpen(), m_screen->errorText());
    note("cursor", m_cursor->isOpen(), m_cursor->errorText());
}

X11Platform::~X11Platform() {
    // The hook may still deliver to a receiver that is going away.
    if (m_hook && m_hook->isHooked()) m_hook->ResetHook();
}

} // namespace klavoro::x11
