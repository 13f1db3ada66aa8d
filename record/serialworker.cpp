#include "record/serialworker.h"

namespace klavoro {

SerialWorker::SerialWorker(QObject* parent) : QObject(parent), m_thread([this] { run(); }) {}

SerialWorker::~SerialWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_destroying = true;
    m_wake.notify_all();
    m_thread.join();
}

void SerialWorker::post(Task task, Done done) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({std::move(task), std::move(done), QString()});
    }
    ++m_pending;
    m_wake.notify_one();
}

void SerialWorker::run() {
    for (;;) {
        Item item;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty()) return;
            item = std::move(m_queue.front());
            m_queue.pop_front();
            m_working = true;
        }
        item.error = item.task();
        item.task = nullptr;
        {
            std::lock_guard lock(m_mutex);
            m_finished.push_back(std::move(item));
            m_working = false;
        }
        m_idle.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void SerialWorker::deliver() {
    // A handler that opens a message box lets events run: the results
    // behind it wait for it instead of overtaking it.
    if (m_delivering || m_destroying) return;
    m_delivering = true;
    for (;;) {
        Item item;
        {
            std::lock_guard lock(m_mutex);
            if (m_finished.empty()) break;
            item = std::move(m_finished.front());
            m_finished.pop_front();
        }
        --m_pending;
        if (item.done) item.done(item.error);
    }
    m_delivering = false;
}

void SerialWorker::drain() {
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_working; });
    }
    deliver();
}

} // namespace klavoro
