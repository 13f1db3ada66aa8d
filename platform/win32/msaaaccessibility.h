#pragma once

#include "platform/accessibility.h"

#include <QElapsedTimer>

namespace klavoro::win32 {

// The accessibility service over MSAA (oleacc). Role and state numbers are
// IAccessible's own, which are the numbers the logic speaks. Objects are
// COM objects of the thread that asked for them: one instance belongs to
// one thread, and that thread has COM initialised (the GUI thread by Qt,
// the hook's thread by itself).
//
// MSAA calls into another process cannot be timed out. A window whose
// application does not answer (IsHungAppWindow) is not asked at all, and a
// query stops reading once its budget is spent: what is left answers empty.
class MsaaAccessibility : public Accessibility {
public:
    explicit MsaaAccessibility(Desktop& desktop, int budgetMs = 240);

    AccessibleRef objectAtPoint(QPoint screenPoint) override;
    AccessibleRef objectOfWindow(WindowId window) override;
    AccessibleRef focusedObject() override;
    bool lastQueryTimedOut() const override;

    // The next query may take at most this long in all (a held press).
    void limitNextQuery(int totalMs) { m_nextLimitMs = totalMs; }

    // What elements of one query share: the time it may take.
    struct Budget {
        QElapsedTimer clock;
        int limitMs = 0;
        bool gaveUp = false;
        // Spent: the element answers empty from now on.
        bool spent();
    };

private:
    std::shared_ptr<Budget> startQuery();
    // The window may be asked: it exists, it is not ours and it answers.
    bool askable(WindowId window);

    Desktop& m_desktop;
    int m_budgetMs;
    int m_nextLimitMs = 0;
    bool m_lastHung = false;
    std::shared_ptr<Budget> m_budget;
};

} // namespace klavoro::win32
