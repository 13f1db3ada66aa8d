#include "record/stepwriter.h"

namespace klavoro {

StepWriter::StepWriter(QObject* parent) : QObject(parent), m_thread([this] { run(); }) {}

StepWriter::~StepWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join(); // the queue is written out first: nothing captured is dropped
}

quint64 StepWriter::submit(Job job) {
    quint64 id = 0;
    {
        std::lock_guard lock(m_mutex);
        id = job.id = m_nextId++;
        m_queue.push_back(std::move(job));
    }
    ++m_pending;
    m_wake.notify_one();
    return id;
}

int StepWriter::pending() const {
    return m_pending;
}

void StepWriter::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty()) return; // stopping, and everything is written
            job = std::move(m_queue.front());
            m_queue.pop_front();
            m_working = true;
        }
        Result result;
        result.id = job.id;
        if (job.files) result.error = writeStepImageFiles(*job.files, job.marked, job.unmarked);
        if (job.list) {
            result.listSave = true;
            QString why;
            if (!OperationList::writePrepared(*job.list, &why))
                result.error = QStringLiteral("OpList.txt 保存失敗：") + why;
        }
        {
            std::lock_guard lock(m_mutex);
            m_done.push_back(std::move(result));
            m_working = false;
        }
        m_idle.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void StepWriter::deliver() {
    // A result handler that opens a message box lets events run: the results
    // behind it wait for it instead of overtaking it.
    if (m_delivering) return;
    m_delivering = true;
    for (;;) {
        Result r;
        {
            std::lock_guard lock(m_mutex);
            if (m_done.empty()) break;
            r = std::move(m_done.front());
            m_done.pop_front();
        }
        --m_pending;
        if (onDone) onDone(r);
    }
    m_delivering = false;
}

void StepWriter::drain() {
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_working; });
    }
    deliver();
}

} // namespace klavoro
