#include "store/events.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace klavoro {

LongOperation::LongOperation(std::function<void()> stop) {
    LongOperations::instance().push(std::move(stop));
}

LongOperation::~LongOperation() {
    LongOperations::instance().pop();
}

LongOperations& LongOperations::instance() {
    static LongOperations operations;
    return operations;
}

bool LongOperations::isStoppable() const {
    return std::any_of(m_stops.begin(), m_stops.end(), [](const auto& stop) { return bool(stop); });
}

void LongOperations::stopAll() {
    // A stop may end its operation at once: call copies.
    const auto stops = m_stops;
    for (const auto& stop : stops)
        if (stop) stop();
}

void LongOperations::whenDone(std::function<void()> then) {
    if (!then) return;
    if (isRunning()) {
        m_waiting.push_back(std::move(then));
        return;
    }
    QTimer::singleShot(0, this, std::move(then));
}

void LongOperations::push(std::function<void()> stop) {
    m_stops.push_back(std::move(stop));
}

void LongOperations::pop() {
    if (!m_stops.empty()) m_stops.pop_back();
    if (isRunning()) return;
    m_closeHeld = false;
    emit finished();
    // Queued: what waited runs from the event loop, not inside the ending
    // operation's caller.
    for (auto& then : std::exchange(m_waiting, {}))
        QTimer::singleShot(0, this, std::move(then));
}

void letEventsRun() {
    if (!QCoreApplication::instance()) return;
    LongOperations& ops = LongOperations::instance();
    const bool stoppable = ops.isStoppable();
    LongOperation guard; // nothing may start while events run
    // Input waits in the window system's queue until the operation ends,
    // unless there is a stop control to reach.
    QCoreApplication::processEvents(stoppable ? QEventLoop::AllEvents
                                              : QEventLoop::ExcludeUserInputEvents);
}

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QThread::msleep(10);
        letEventsRun();
    }
}

} // namespace klavoro
