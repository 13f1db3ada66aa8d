// glib and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi.h>

#include "platform/x11/atspielement.h"

#include "platform/x11/atspiroles.h"

#include <algorithm>

namespace klavoro::x11 {

CallBudget::CallBudget(int callTimeoutMs, int totalMs)
    : m_callTimeoutMs(callTimeoutMs), m_totalMs(totalMs) {
    m_clock.start();
}

bool CallBudget::allowCall() {
    if (m_gaveUp) return false;
    const qint64 left = m_totalMs - m_clock.elapsed();
    if (left <= 0) {
        m_gaveUp = true;
        return false;
    }
    ++m_calls;
    // A call never outlasts what is left of the inspection's time.
    atspi_set_timeout(static_cast<int>(std::min<qint64>(m_callTimeoutMs, left)), -1);
    return true;
}

void CallBudget::callDone(qint64 startedMs) {
    // A fast failure is an answer (no such interface, element gone); a slow
    // call is an application that does not answer.
    if (m_clock.elapsed() - startedMs >= m_callTimeoutMs * 3 / 4) m_timedOut = true;
    if (m_timedOut || m_clock.elapsed() >= m_totalMs) m_gaveUp = true;
}

namespace {

QString takeString(gchar* text) {
    const QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

// Runs one call under the budget; a failed call gives `fallback`.
template <typename T, typename Call> T guarded(CallBudget& budget, T fallback, Call&& call) {
    if (!budget.allowCall()) return fallback;
    const qint64 started = budget.elapsed();
    GError* error = nullptr;
    T result = call(&error);
    budget.callDone(started);
    if (error) {
        g_error_free(error);
        return fallback;
    }
    return result;
}

AtspiAccessible* acc(_AtspiAccessible* h) {
    return reinterpret_cast<AtspiAccessible*>(h);
}

} // namespace

AtspiElement::AtspiElement(_AtspiAccessible* handle, BudgetRef budget)
    : m_handle(handle), m_budget(std::move(budget)) {
    g_object_ref(acc(m_handle));
}

AtspiElement::~AtspiElement() {
    g_object_unref(acc(m_handle));
}

QString AtspiElement::key() const {
    const AtspiObject* object = ATSPI_OBJECT(acc(m_handle));
    const char* bus = object->app ? object->app->bus_name : "";
    return QString::fromUtf8(bus) + u':' + QString::fromUtf8(object->path);
}

QString AtspiElement::name() {
    return guarded(*m_budget, QString(), [this](GError** e) {
        return takeString(atspi_accessible_get_name(acc(m_handle), e));
    });
}

int AtspiElement::atspiRole() {
    if (!m_role)
        m_role = guarded(*m_budget, 0, [this](GError** e) {
            return static_cast<int>(atspi_accessible_get_role(acc(m_handle), e));
        });
    return *m_role;
}

quint64 AtspiElement::atspiStates() {
    if (m_states) return *m_states;
    m_states = 0;
    if (!m_budget->allowCall()) return 0;
    const qint64 started = m_budget->elapsed();
    AtspiStateSet* set = atspi_accessible_get_state_set(acc(m_handle));
    m_budget->callDone(started);
    if (!set) return 0;
    GArray* states = atspi_state_set_get_states(set);
    quint64 mask = 0;
    for (guint i = 0; states && i < states->len; ++i) {
        const int s = g_array_index(states, AtspiStateType, i);
        if (s >= 0 && s < 64) mask |= quint64(1) << s;
    }
    if (states) g_array_free(states, TRUE);
    g_object_unref(set);
    // A failed read comes back as the lone "defunct" state.
    if (mask == (quint64(1) << ATSPI_STATE_DEFUNCT)) mask = 0;
    m_states = mask;
    return mask;
}

int AtspiElement::role() {
    return roleFromAtspi(atspiRole());
}

quint32 AtspiElement::state() {
    return statesFromAtspi(atspiStates(), atspiRole());
}

QString AtspiElement::value() {
    const int r = atspiRole();
    // A password field's content is never read, whatever else happens.
    if (isPasswordRole(r)) return QString();
    const int number = roleFromAtspi(r);
    if (number == 42 || number == 46) {
        return guarded(*m_budget, QString(), [this](GError** e) {
            return takeString(atspi_text_get_text(ATSPI_TEXT(acc(m_handle)), 0, -1, e));
        });
    }
    if (number == 3 || number == 48 || number == 49 || number == 51 || number == 52) {
        return guarded(*m_budget, QString(), [this](GError** e) {
            const double v = atspi_value_get_current_value(ATSPI_VALUE(acc(m_handle)), e);
            return QString::number(v, 'g', 15);
        });
    }
    return QString();
}

QString AtspiElement::description() {
    return guarded(*m_budget, QString(), [this](GError** e) {
        return takeString(atspi_accessible_get_description(acc(m_handle), e));
    });
}

QString AtspiElement::defaultAction() {
    return guarded(*m_budget, QString(), [this](GError** e) {
        return takeString(atspi_action_get_action_name(ATSPI_ACTION(acc(m_handle)), 0, e));
    });
}

QRect AtspiElement::location() {
    if (!m_location)
        m_location = guarded(*m_budget, QRect(), [this](GError** e) {
            AtspiRect* r = atspi_component_get_extents(ATSPI_COMPONENT(acc(m_handle)),
                                                       ATSPI_COORD_TYPE_SCREEN, e);
            if (!r) return QRect();
            const QRect rect(r->x, r->y, r->width, r->height);
            g_free(r);
            return rect;
        });
    return *m_location;
}

QString AtspiElement::keyboardShortcut() {
    const QString binding = guarded(*m_budget, QString(), [this](GError** e) {
        return takeString(atspi_action_get_key_binding(ATSPI_ACTION(acc(m_handle)), 0, e));
    });
    // "mnemonic;sequence;shortcut": the first part that says anything.
    const QStringList parts = binding.split(u';');
    for (const QString& part : parts)
        if (!part.isEmpty()) return part;
    return QString();
}

QString AtspiElement::focus() {
    if (state() & state::Focused) return QStringLiteral("0");
    // Only small containers are searched: the field has no reader that
    // would justify a walk through a long list.
    const int children = childCount();
    if (children > 8) return QString();
    for (int i = 0; i < children; ++i) {
        AtspiAccessible* child =
            guarded(*m_budget, static_cast<AtspiAccessible*>(nullptr), [this, i](GError** e) {
                return atspi_accessible_get_child_at_index(acc(m_handle), i, e);
            });
        if (!child) continue;
        AtspiElement element(reinterpret_cast<_AtspiAccessible*>(child), m_budget);
        g_object_unref(child);
        if (element.state() & state::Focused) return QString::number(i + 1);
    }
    return QString();
}

int AtspiElement::childCount() {
    if (!m_childCount)
        m_childCount = guarded(*m_budget, 0, [this](GError** e) {
            return std::max(0, atspi_accessible_get_child_count(acc(m_handle), e));
        });
    return *m_childCount;
}

AccessibleRef AtspiElement::parent() {
    AtspiAccessible* p =
        guarded(*m_budget, static_cast<AtspiAccessible*>(nullptr),
                [this](GError** e) { return atspi_accessible_get_parent(acc(m_handle), e); });
    if (!p) return nullptr;
    auto element = std::make_shared<AtspiElement>(reinterpret_cast<_AtspiAccessible*>(p), m_budget);
    g_object_unref(p);
    return element;
}

} // namespace klavoro::x11
