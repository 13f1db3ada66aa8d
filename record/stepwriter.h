#pragma once

#include "capture/imagesaving.h"
#include "store/oplist.h"

#include <QImage>
#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace klavoro {

// Writes step images and the operation list on a thread of its own, one job
// after the other in the order they were handed in, so that the list on disk
// never names an image that is not written yet. Results come back on the
// thread that made the writer, in the same order.
class StepWriter : public QObject {
    Q_OBJECT
public:
    struct Job {
        quint64 id = 0;
        std::optional<StepImageFiles> files; // nothing: a step without image
        QImage marked, unmarked;
        std::optional<OperationList::PreparedSave> list;
    };
    struct Result {
        quint64 id = 0;
        QString error; // empty on success
        bool listSave = false;
    };

    explicit StepWriter(QObject* parent = nullptr);
    ~StepWriter() override;

    // Queues a job; returns its id.
    quint64 submit(Job job);
    // Called for every finished job, in order, on the owner's thread.
    std::function<void(const Result&)> onDone;
    // Jobs submitted whose result has not been handed over yet.
    int pending() const;
    // Blocks until every submitted job is done, then hands their results over
    // (unless a result is being handed over right now: those wait for it).
    void drain();
    bool isDelivering() const { return m_delivering; }

private:
    void run();
    void deliver();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_queue;
    std::deque<Result> m_done;
    bool m_working = false;
    bool m_stop = false;
    bool m_delivering = false;
    quint64 m_nextId = 1;
    int m_pending = 0; // touched on the owner's thread only
    std::thread m_thread;
};

} // namespace klavoro
