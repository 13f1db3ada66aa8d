#include "platform/x11/x11syntheticinput.h"

#include "platform/x11/xerrors.h"
#include "platform/x11/xwindows.h"

#include <X11/extensions/XTest.h>

namespace klavoro::x11 {

X11SyntheticInput::X11SyntheticInput() {
    m_display = openDisplay(&m_error);
    if (!m_display) return;
    int event = 0, error = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(m_display, &event, &error, &major, &minor);
    if (!m_hasXTest) {
        m_error = QStringLiteral("The X server has no XTEST extension: input cannot be injected.");
        return;
    }
    m_keys.load(m_display);
    m_buttons.load(m_display);
}

X11SyntheticInput::~X11SyntheticInput() {
    if (m_display) XCloseDisplay(m_display);
}

bool X11SyntheticInput::moveTo(QPoint p) {
    if (!isOpen()) return false;
    XTestFakeMotionEvent(m_display, -1, p.x(), p.y(), CurrentTime);
    XFlush(m_display);
    return true;
}

bool X11SyntheticInput::button(MouseButton which, bool down) {
    if (!isOpen()) return false;
    const int logical = which == MouseButton::Left ? 1 : which == MouseButton::Right ? 3 : 2;
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(m_buttons.physical(logical)),
                         down ? True : False, CurrentTime);
    XFlush(m_display);
    return true;
}

bool X11SyntheticInput::sendKey(int vk, bool up) {
    if (!isOpen()) return false;
    const unsigned keycode = m_keys.keycodeOf(vk);
    if (keycode == 0) return false;
    XTestFakeKeyEvent(m_display, keycode, up ? False : True, CurrentTime);
    XFlush(m_display);
    return true;
}

void X11SyntheticInput::sync() {
    if (m_display) XSync(m_display, False);
}

} // namespace klavoro::x11
