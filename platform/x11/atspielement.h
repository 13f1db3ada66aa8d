#pragma once

#include "platform/accessibility.h"

#include <QElapsedTimer>

#include <memory>
#include <optional>

struct _AtspiAccessible;

namespace klavoro::x11 {

// The time one inspection may spend on calls to another application. Once a
// call has run into its timeout the application counts as hung, and every
// further call of the same inspection answers empty at once.
class CallBudget {
public:
    CallBudget(int callTimeoutMs, int totalMs);
    // True while calls may still be made; sets the library's call timeout to
    // what is left.
    bool allowCall();
    // After a call that started at `startedMs` (elapsed()). A slow call means
    // a hung application whether or not the library reported an error (a
    // property read that times out comes back as a plain -1).
    void callDone(qint64 startedMs);
    qint64 elapsed() const { return m_clock.elapsed(); }
    bool gaveUp() const { return m_gaveUp; }
    // Whether a call ran into its timeout (not merely the time running out).
    bool timedOut() const { return m_timedOut; }
    // Calls made so far (for measurements).
    int calls() const { return m_calls; }

private:
    QElapsedTimer m_clock;
    int m_callTimeoutMs;
    int m_totalMs;
    bool m_gaveUp = false;
    bool m_timedOut = false;
    int m_calls = 0;
};

using BudgetRef = std::shared_ptr<CallBudget>;

// An element of another application reached over AT-SPI.
class AtspiElement : public AccessibleObject {
public:
    // Takes its own reference on `handle`.
    AtspiElement(_AtspiAccessible* handle, BudgetRef budget);
    ~AtspiElement() override;
    AtspiElement(const AtspiElement&) = delete;
    AtspiElement& operator=(const AtspiElement&) = delete;

    QString key() const override;
    QString name() override;
    QString value() override;
    int role() override;
    quint32 state() override;
    QString description() override;
    QString defaultAction() override;
    QRect location() override;
    QString keyboardShortcut() override;
    QString focus() override;
    int childCount() override;
    AccessibleRef parent() override;

    // AT-SPI facts for the service's own searches.
    int atspiRole();
    quint64 atspiStates();
    _AtspiAccessible* handle() const { return m_handle; }
    const BudgetRef& budget() const { return m_budget; }

private:
    _AtspiAccessible* m_handle;
    BudgetRef m_budget;
    // Read once per element: an inspection asks for these several times.
    std::optional<int> m_role;
    std::optional<quint64> m_states;
    std::optional<QRect> m_location;
    std::optional<int> m_childCount;
};

} // namespace klavoro::x11
