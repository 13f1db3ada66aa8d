#include "platform/fake/fakeinputhook.h"

namespace klavoro {

bool FakeInputHook::SetHook(HookReceiver* receiver, int delay) {
    m_receiver = receiver;
    m_delay = delay;
    ++m_setHookCalls;
    return true;
}

bool FakeInputHook::deliver(const InputMessage& message) {
    if (!m_receiver) return false;
    InputMessage m = message;
    m.hwnd = m_receiver->hookWindow();
    m_receiver->hookMessage(m);
    return true;
}

bool FakeInputHook::mouse(quint32 mouseCode, QPoint pt) {
    m_time += 10;
    m_lastPt = pt;
    return deliver({0, kHookMouse, mouseCode, 0, m_time, pt, nullptr});
}

bool FakeInputHook::key(int vk, bool up) {
    m_time += 10;
    const quint32 flags = up ? (kKeyUpFlag | kKeyPreviousFlag | 1u) : 1u;
    return deliver({0, kHookKey, static_cast<quint32>(vk), flags, m_time, m_lastPt, nullptr});
}

bool FakeInputHook::wheel(int delta, QPoint pt) {
    m_time += 10;
    m_lastPt = pt;
    return deliver({0, kHookWheel, static_cast<quint32>(delta) << 16, 0, m_time, pt, nullptr});
}

bool FakeInputHook::activate(WindowId window) {
    m_time += 10;
    return deliver({0, kHookActivate, static_cast<quint32>(window), 0, m_time, m_lastPt, nullptr});
}

bool FakeInputHook::click(QPoint pt) {
    return mouse(kLeftDown, pt) && mouse(kLeftUp, pt);
}

} // namespace klavoro
