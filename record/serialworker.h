#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace klavoro {

// A thread that runs tasks one after the other in the order they were
// posted. Each task's result (a failure text, empty on success) comes back on
// the thread that made the worker, in the same order.
class SerialWorker : public QObject {
    Q_OBJECT
public:
    using Task = std::function<QString()>;
    using Done = std::function<void(const QString& error)>;

    explicit SerialWorker(QObject* parent = nullptr);
    // Runs what is still queued (nothing captured is dropped), hands nothing over.
    ~SerialWorker() override;

    void post(Task task, Done done = nullptr);
    // Tasks posted whose result has not been handed over yet.
    int pending() const { return m_pending; }
    // Blocks until every posted task has run, then hands the results over
    // (unless a result is being handed over right now: those wait for it).
    void drain();
    bool isDelivering() const { return m_delivering; }

private:
    struct Item {
        Task task;
        Done done;
        QString error;
    };
    void run();
    void deliver();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Item> m_queue;
    std::deque<Item> m_finished;
    bool m_working = false;
    bool m_stop = false;
    bool m_delivering = false;
    bool m_destroying = false;
    int m_pending = 0; // owner's thread only
    std::thread m_thread;
};

} // namespace klavoro
