#include "platform/win32/win32elementreader.h"

#include "platform/win32/msaaaccessibility.h"
#include "platform/win32/win32desktop.h"

#include <QThread>

#include <objbase.h>

namespace klavoro::win32 {

Win32ElementReader::Win32ElementReader() {
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start();
}

Win32ElementReader::~Win32ElementReader() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread->wait();
}

std::optional<NamedElement> Win32ElementReader::read(QPoint point, int waitMs, int budgetMs,
                                                     Late late) {
    auto job = std::make_shared<Job>();
    job->point = point;
    job->budgetMs = budgetMs;
    job->late = std::move(late);
    std::unique_lock<std::mutex> guard(m_lock);
    m_jobs.push_back(job);
    m_wake.notify_all();
    // No wait means none: a timed wait of 0 may still sleep a scheduler tick.
    if (waitMs > 0 &&
        m_done.wait_for(guard, std::chrono::milliseconds(waitMs), [&] { return job->done; }))
        return job->result;
    job->abandoned = true;
    return std::nullopt;
}

void Win32ElementReader::run() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Win32Desktop desktop;
    MsaaAccessibility accessibility(desktop);
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_quit || !m_jobs.empty(); });
            if (m_quit) break;
            job = m_jobs.front();
            m_jobs.pop_front();
        }
        accessibility.limitNextQuery(job->budgetMs);
        NamedElement named = nameElementAt(accessibility, desktop, job->point);
        Late late;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (job->abandoned)
                late = job->late;
            else
                job->result = named;
            job->done = true;
        }
        m_done.notify_all();
        if (late) late(std::move(named));
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

} // namespace klavoro::win32
