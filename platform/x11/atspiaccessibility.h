#pragma once

#include "platform/accessibility.h"

#include <QDeadlineTimer>
#include <QHash>

#include <memory>

struct _AtspiAccessible;

namespace klavoro::x11 {

class AtspiElement;
class CallBudget;

// The accessibility service over AT-SPI. The application is found by the
// process id of the top-level X window, never by searching every
// application (overlapping windows would give the wrong one). Our own
// process is never asked. Each query gets a short time budget: an
// application that does not answer costs one step at most about a quarter
// of a second and then gives empty data.
class AtspiAccessibility : public Accessibility {
public:
    // `callTimeoutMs` bounds one call, `budgetMs` one query with everything
    // read from its elements afterwards.
    explicit AtspiAccessibility(Desktop& desktop, int callTimeoutMs = 200, int budgetMs = 240);
    ~AtspiAccessibility() override;
    AtspiAccessibility(const AtspiAccessibility&) = delete;
    AtspiAccessibility& operator=(const AtspiAccessibility&) = delete;

    // False without an accessibility bus; every query then answers null.
    bool isAvailable() const { return m_available; }

    AccessibleRef objectAtPoint(QPoint screenPoint) override;
    AccessibleRef objectOfWindow(WindowId window) override;
    AccessibleRef focusedObject() override;

private:
    // The application root of a process, or null (with a new reference).
    _AtspiAccessible* applicationOf(qint64 pid);
    // The application of a process under a fresh call budget; null when it
    // has none or did not answer a moment ago.
    std::shared_ptr<AtspiElement> openApplication(qint64 pid);
    // The application's window that stands for the X top-level `window`.
    std::shared_ptr<AtspiElement> topLevelFor(AtspiElement& app, WindowId window);
    std::shared_ptr<AtspiElement> openPopupAt(AtspiElement& app, QPoint point);
    std::shared_ptr<AtspiElement> deepestAt(std::shared_ptr<AtspiElement> from, QPoint point);
    std::shared_ptr<AtspiElement> findFocused(const std::shared_ptr<AtspiElement>& from);
    // The process of a window when it may be asked; 0 for none or ourselves.
    qint64 askablePid(WindowId window);

    Desktop& m_desktop;
    int m_callTimeoutMs;
    int m_budgetMs;
    bool m_available = false;
    QHash<QString, qint64> m_pidOfBus;
    QHash<qint64, std::shared_ptr<CallBudget>> m_lastBudget;
    QHash<qint64, QDeadlineTimer> m_hungUntil;
};

} // namespace klavoro::x11
