#pragma once

#include "platform/accessibility.h"
#include "platform/x11/atspibus.h"
#include "platform/x11/atspielement.h"

#include <QDeadlineTimer>
#include <QHash>

#include <memory>

namespace klavoro::x11 {

// The accessibility service over AT-SPI. The application is found by the
// process id of the top-level X window, never by searching every
// application (overlapping windows would give the wrong one). Our own
// process is never asked. Each query gets a short time budget: an
// application that does not answer costs one step at most about a quarter
// of a second and then gives empty data.
//
// One instance belongs to one thread (its caches are not shared); the bus
// connection underneath may be used from any thread, so the input hook's
// thread has an instance of its own beside the GUI thread's.
class AtspiAccessibility : public Accessibility {
public:
    // `callTimeoutMs` bounds one call, `budgetMs` one query with everything
    // read from its elements afterwards.
    // A missing bus is written to log.txt unless `quiet` (a second instance).
    explicit AtspiAccessibility(Desktop& desktop, int callTimeoutMs = 200, int budgetMs = 240,
                                bool quiet = false);
    ~AtspiAccessibility() override;
    AtspiAccessibility(const AtspiAccessibility&) = delete;
    AtspiAccessibility& operator=(const AtspiAccessibility&) = delete;

    // False without an accessibility bus; every query then answers null.
    bool isAvailable() const { return m_bus.isOpen(); }

    AccessibleRef objectAtPoint(QPoint screenPoint) override;
    // The element at the point in the top-level window `window`, whatever
    // stands above it there (a popup opened since).
    AccessibleRef objectAtPointIn(QPoint screenPoint, WindowId window);
    AccessibleRef objectOfWindow(WindowId window) override;
    AccessibleRef focusedObject() override;
    AccessibleRef objectByKey(const QString& key) override;
    // The same, with the window the element lies in (its coordinates may
    // depend on it).
    AccessibleRef objectByKey(const QString& key, WindowId window);
    // Goes on from an element found earlier down to the deepest one at the
    // point (a search that ran out of time part-way).
    AccessibleRef deepestFrom(const QString& key, QPoint point, WindowId window);

    // Learns, unhurried, what a query at `point` needs first (the
    // application, its toolkit, its window), so that a held press later
    // asks only about the element itself.
    void prepare(QPoint point);
    // The next query may take at most this long in all (a held press).
    void limitNextQuery(int totalMs) { m_nextLimitMs = totalMs; }
    // Whether the last query (and what was read from its elements) ran out
    // of time, or found its application hung.
    bool lastQueryTimedOut() const override {
        return m_lastTimedOut || (m_queryBudget && m_queryBudget->gaveUp());
    }

private:
    // A search through an application's tree stops here whatever it finds.
    static constexpr int kMaxVisited = 400;

    struct Toolkit {
        bool gtk4 = false;
    };
    // The application root of a process, or a null reference.
    AtspiRef applicationOf(qint64 pid, int timeoutMs);
    // A fresh query context for an application: its budget, its coordinates.
    AppRef openApplication(qint64 pid, WindowId window, AtspiRef* root);
    Toolkit toolkitOf(const AtspiRef& root, int timeoutMs);
    // The application's window that stands for the X top-level `window`.
    std::shared_ptr<AtspiElement> topLevelFor(AtspiElement& app, WindowId window);
    std::shared_ptr<AtspiElement> openPopupAt(AtspiElement& app, QPoint point);
    std::shared_ptr<AtspiElement> gtk4PopoverOf(AtspiElement& app, WindowId window);
    // The deepest element at the point in the top-level `window`, or with
    // `orPopup` in an open menu or list there that is no window of its own.
    AccessibleRef objectAt(QPoint point, WindowId window, bool orPopup);
    std::shared_ptr<AtspiElement> deepestAt(std::shared_ptr<AtspiElement> from, QPoint point);
    std::shared_ptr<AtspiElement> findFocused(const std::shared_ptr<AtspiElement>& from);
    // The process of a window when it may be asked; 0 for none or ourselves.
    qint64 askablePid(WindowId window);

    Desktop& m_desktop;
    AtspiBus m_bus;
    int m_callTimeoutMs;
    int m_budgetMs;
    int m_nextLimitMs = 0;
    bool m_lastTimedOut = false;
    BudgetRef m_queryBudget;
    // What stays true between queries: an application's root, and the
    // element of its window while the X window keeps its place.
    struct KnownWindow {
        AtspiRef frame;
        QRect xRect;
        QRect frameRect;
        QPoint border; // GTK 4: where its coordinates start inside xRect
    };
    QHash<qint64, AtspiRef> m_rootOfPid;
    QHash<WindowId, KnownWindow> m_knownWindows;
    QHash<QString, qint64> m_pidOfBus;
    QHash<QString, Toolkit> m_toolkitOfBus;
    QHash<qint64, BudgetRef> m_lastBudget;
    QHash<qint64, QDeadlineTimer> m_hungUntil;
};

} // namespace klavoro::x11
