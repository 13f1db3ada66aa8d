#include "platform/x11/elementcompleter.h"

#include "describe/elementnaming.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/hookthreadshared.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/xwindows.h"
#include "record/presssnapshot.h"

#include <cstdio>

namespace klavoro::x11 {

namespace {
// What the element may still take once its press has gone on. The
// application has its press by then, so only this step waits: a busy
// application is given time rather than the step named after its window.
constexpr int kLateCallMs = 600;
constexpr int kLateElementMs = 1200;

bool needsCompleting(const PressSnapshot& s) {
    return s.hold != PressSnapshot::Hold::OwnWindow && (!s.elementFound || s.elementTimedOut);
}
} // namespace

ElementCompleter::ElementCompleter(Sink sink) : m_sink(std::move(sink)) {
    m_thread = std::thread([this] { run(); });
}

ElementCompleter::~ElementCompleter() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void ElementCompleter::push(std::vector<InputMessage> batch) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_queue.emplace_back(m_generation, std::move(batch));
    }
    m_wake.notify_all();
}

void ElementCompleter::clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_queue.clear();
    ++m_generation;
}

bool ElementCompleter::waitIdle(int ms) {
    std::unique_lock<std::mutex> guard(m_lock);
    return m_idle.wait_for(guard, std::chrono::milliseconds(ms),
                           [this] { return m_queue.empty() && !m_working; });
}

void ElementCompleter::run() {
    // Connections of this thread's own.
    m_desktop = std::make_unique<X11Desktop>();
    m_accessibility = std::make_unique<AtspiAccessibility>(*m_desktop, kLateCallMs, kLateElementMs, true);
    for (;;) {
        std::pair<unsigned, std::vector<InputMessage>> next;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit) break;
            next = std::move(m_queue.front());
            m_queue.pop_front();
            m_working = true;
        }
        for (InputMessage& m : next.second) {
            if (!m.snapshot || !needsCompleting(*m.snapshot)) continue;
            auto completed = std::make_shared<PressSnapshot>(*m.snapshot);
            complete(*completed);
            if (hookthread::tracing())
                fprintf(stderr, "hook: late element %d,%d %d '%s' timed out %d\n",
                        completed->point.x(), completed->point.y(), completed->elementFound,
                        qPrintable(completed->element.name), completed->elementTimedOut);
            m.snapshot = std::move(completed);
        }
        bool current = false;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            current = next.first == m_generation; // else the hook stopped meanwhile
        }
        if (current) m_sink(std::move(next.second));
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_working = false;
        }
        m_idle.notify_all();
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_working = false;
    }
    m_idle.notify_all();
    m_accessibility.reset();
    m_desktop.reset();
}

void ElementCompleter::complete(PressSnapshot& s) {
    const WindowId top =
        s.elementWindow ? s.elementWindow : s.windows.isEmpty() ? 0 : s.windows.last().topLevel;
    const QString title = s.element.windowTitle;
    // Go on from where the point query got to: the same element, read now.
    const QString from = !s.elementHitKey.isEmpty() ? s.elementHitKey : s.elementKey;
    if (!from.isEmpty()) {
        m_accessibility->limitNextQuery(kLateElementMs);
        if (const AccessibleRef hit = m_accessibility->deepestFrom(from, s.point, top)) {
            const AccessibleRef element = meaningfulElement(hit);
            ElementInfo info;
            describeElement(info, *element);
            info.windowTitle = title;
            s.element = info;
            s.elementKey = element->key();
            s.elementFound = !info.roleNumber.isEmpty() && info.roleNumber != QLatin1String("0");
            s.elementTimedOut = m_accessibility->lastQueryTimedOut();
            s.elementLate = true;
            return;
        }
    }
    // In the window that was at the point then: what the application has
    // opened there since (a popup, a context menu) was not what the user
    // pressed on. A popup itself is looked for afresh (in some toolkits it
    // is no window of its application's tree).
    m_accessibility->limitNextQuery(kLateElementMs);
    const bool inWindow = top && !isPopupWindow(m_desktop->display(), top);
    const NamedElement named =
        inWindow ? nameHit(*m_accessibility, m_accessibility->objectAtPointIn(s.point, top), title)
                 : nameElementAt(*m_accessibility, *m_desktop, s.point);
    s.elementFound = named.found;
    s.element = named.info;
    s.elementKey = named.key;
    s.elementTimedOut = named.timedOut;
    s.elementLate = true;
}

} // namespace klavoro::x11
