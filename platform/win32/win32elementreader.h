#pragma once

#include "describe/elementnaming.h"

#include <QPoint>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QThread;

namespace klavoro::win32 {

// Reads the element at a press's point on a thread of its own, so that the
// hook can stop waiting for it: an MSAA call into another process cannot be
// cut short, and Windows removes a low-level hook that keeps input too long.
// The thread is in the multithreaded apartment (it pumps no messages). It
// is a QThread, not a foreign one: Qt cleans up what the element naming's
// regular expressions keep per thread on the thread itself as it ends,
// where for a foreign thread it does so from a watcher thread afterwards
// (seen crashing under Wine).
class Win32ElementReader {
public:
    using Late = std::function<void(NamedElement)>;

    Win32ElementReader();
    ~Win32ElementReader();
    Win32ElementReader(const Win32ElementReader&) = delete;
    Win32ElementReader& operator=(const Win32ElementReader&) = delete;

    // The element at `point`, if it is read within `waitMs`; otherwise none,
    // and `late` gets it (on the reader's thread) once read, within
    // `budgetMs` of the start.
    std::optional<NamedElement> read(QPoint point, int waitMs, int budgetMs, Late late);

private:
    struct Job {
        QPoint point;
        int budgetMs = 0;
        std::optional<NamedElement> result;
        bool done = false;
        bool abandoned = false; // the caller stopped waiting: `late` takes it
        Late late;
    };
    void run();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::shared_ptr<Job>> m_jobs;
    bool m_quit = false;
    std::unique_ptr<QThread> m_thread;
};

} // namespace klavoro::win32
