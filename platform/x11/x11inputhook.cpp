// Qt first: Xlib defines macros (Bool, Status) that break Qt headers.
#include <QObject>

#include "platform/x11/x11inputhook.h"

#include "platform/x11/hookthread.h"
#include "platform/x11/xwindows.h"

#include <X11/extensions/XInput2.h>

namespace klavoro::x11 {

X11InputHook::X11InputHook() : m_relay(std::make_unique<QObject>()) {
    Display* display = openDisplay(&m_error);
    if (!display) return;
    int opcode = -1, event = 0, error = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success || major < 2) {
        m_error = QStringLiteral(
            "The X server has no XInput2 (version 2.0 or later): input cannot be watched.");
        XCloseDisplay(display);
        return;
    }
    m_thread = std::make_unique<HookThread>(
        display, opcode, [this](std::vector<InputMessage> batch) { receive(std::move(batch)); });
}

X11InputHook::~X11InputHook() {
    ResetHook();
    m_thread.reset(); // joins: no more messages after this
}

bool X11InputHook::SetHook(HookReceiver* receiver, int delay) {
    if (!m_thread || !receiver) return false;
    m_delay = delay;
    if (m_receiver) {
        m_receiver = receiver;
        return true;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_inbox.clear();
    }
    QString error;
    if (!m_thread->start(&error)) {
        m_error = error;
        return false;
    }
    m_receiver = receiver;
    return true;
}

void X11InputHook::ResetHook() {
    if (!m_receiver) return;
    m_receiver = nullptr;
    // Every grab is released before this returns.
    if (m_thread) m_thread->stop();
    // The thread has stopped sending: what it sent before is dropped.
    std::lock_guard<std::mutex> guard(m_lock);
    m_inbox.clear();
}

void X11InputHook::finishPending(int ms) {
    if (!m_receiver || !m_thread) return;
    m_thread->sync();
    m_thread->waitHandedOn(ms);
    deliverQueued();
}

void X11InputHook::setPressArea(const PressArea& area) {
    if (m_thread) m_thread->setPressArea(area);
}

QString X11InputHook::holdProblem() const {
    return m_thread ? m_thread->grabProblem() : m_error;
}

void X11InputHook::receive(std::vector<InputMessage> batch) {
    std::lock_guard<std::mutex> guard(m_lock);
    for (InputMessage& m : batch)
        m_inbox.push_back(std::move(m));
    if (m_wakePending) return;
    m_wakePending = true;
    QMetaObject::invokeMethod(
        m_relay.get(),
        [this] {
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_wakePending = false;
            }
            deliverQueued();
        },
        Qt::QueuedConnection);
}

void X11InputHook::deliverQueued() {
    // The receiver may let events run and so come back here: it then only queues.
    if (m_delivering) return;
    m_delivering = true;
    while (m_receiver) {
        InputMessage m;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_inbox.empty()) break;
            m = std::move(m_inbox.front());
            m_inbox.pop_front();
        }
        m.hwnd = m_receiver->hookWindow();
        m_receiver->hookMessage(m);
    }
    m_delivering = false;
}

} // namespace klavoro::x11
