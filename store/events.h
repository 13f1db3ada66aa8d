#pragma once

#include <QObject>

#include <functional>
#include <vector>

namespace klavoro {

// A long operation that lets window events run (loading, deleting, exports,
// playback, waits for files). While one runs nothing may start that could
// change or destroy what it uses: user input waits until it has ended, the
// command map refuses commands other than stop, and a close waits for it
// (after stopping it, when it can be stopped). A stoppable operation lets
// input through to its stop controls instead, and the input gate refuses the
// rest with a message.
class LongOperation {
public:
    // `stop` (may be empty) ends the operation early: the stop command and a
    // close request call it; the operation notices at its next event point.
    explicit LongOperation(std::function<void()> stop = {});
    ~LongOperation();
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;
};

// The one guard: which long operations run, and what waits for them.
class LongOperations : public QObject {
    Q_OBJECT
public:
    static LongOperations& instance();

    bool isRunning() const { return !m_stops.empty(); }
    // Some running operation can be stopped: input flows, filtered.
    bool isStoppable() const;
    // Calls the stop of every running operation that has one.
    void stopAll();
    // Runs `then` from the event loop once no operation runs any more (at
    // once, queued, when none runs now).
    void whenDone(std::function<void()> then);
    // The user closed the main window while an operation ran: what the
    // operation still has to say goes to the log, not into a message box
    // that would keep the closing program waiting for an answer.
    void holdClose() { m_closeHeld = isRunning(); }
    bool isCloseHeld() const { return m_closeHeld; }

signals:
    // The last running operation ended.
    void finished();

private:
    friend class LongOperation;
    void push(std::function<void()> stop);
    void pop();

    std::vector<std::function<void()>> m_stops;
    std::vector<std::function<void()>> m_waiting;
    bool m_closeHeld = false;
};

// Lets pending window events and timers run, as the long operations of the
// program do at fixed points: always under the guard (an operation of its own
// when none runs). Does nothing without an application object.
void letEventsRun();

// Sleeps in steps of 10 ms, letting events run after each step.
void waitMs(int ms);

} // namespace klavoro
