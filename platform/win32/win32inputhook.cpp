#include "platform/win32/win32inputhook.h"

#include "platform/win32/win32hookthread.h"

#include <QObject>

namespace klavoro::win32 {

Win32InputHook::Win32InputHook()
    : m_thread(std::make_unique<Win32HookThread>(
          [this](std::vector<InputMessage> batch) { receive(std::move(batch)); })),
      m_relay(std::make_unique<QObject>()) {}

Win32InputHook::~Win32InputHook() {
    ResetHook();
    m_thread.reset();
}

bool Win32InputHook::SetHook(HookReceiver* receiver, int delay) {
    if (!receiver) return false;
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
    if (!m_thread->start(m_area, &error)) {
        m_error = error;
        return false;
    }
    m_error.clear();
    m_receiver = receiver;
    return true;
}

void Win32InputHook::ResetHook() {
    if (!m_receiver) return;
    m_receiver = nullptr;
    m_thread->stop();
    // The thread has stopped sending: what it sent before is dropped.
    std::lock_guard<std::mutex> guard(m_lock);
    m_inbox.clear();
}

void Win32InputHook::finishPending(int ms) {
    if (!m_receiver) return;
    m_thread->waitHandedOn(ms);
    deliverQueued();
}

void Win32InputHook::receive(std::vector<InputMessage> batch) {
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

void Win32InputHook::deliverQueued() {
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

} // namespace klavoro::win32
