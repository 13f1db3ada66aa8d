// glib and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi.h>

#include "platform/x11/atspiaccessibility.h"

#include "platform/desktop.h"
#include "platform/x11/atspielement.h"
#include "platform/x11/atspiroles.h"
#include "store/logs.h"

#include <QFileInfo>
#include <QQueue>

#include <unistd.h>

namespace klavoro::x11 {

namespace {

using ElementRef = std::shared_ptr<AtspiElement>;

// Connecting without a session bus would make libdbus launch one that
// outlives us, and libatspi ends the process when it finds no bus later.
bool busReachable() {
    if (!qEnvironmentVariableIsEmpty("AT_SPI_BUS_ADDRESS") ||
        !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

ElementRef wrap(AtspiAccessible* a, const BudgetRef& budget) {
    if (!a) return nullptr;
    auto element = std::make_shared<AtspiElement>(a, budget);
    g_object_unref(a);
    return element;
}

ElementRef childAt(AtspiElement& parent, int index) {
    CallBudget& budget = *parent.budget();
    if (!budget.allowCall()) return nullptr;
    const qint64 started = budget.elapsed();
    GError* error = nullptr;
    AtspiAccessible* child = atspi_accessible_get_child_at_index(parent.handle(), index, &error);
    budget.callDone(started);
    if (error) {
        g_error_free(error);
        return nullptr;
    }
    return wrap(child, parent.budget());
}

bool has(quint64 states, AtspiStateType s) {
    return (states >> s) & 1;
}

// How much two rectangles agree: the shared area over the joint area.
double overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    if (common.isEmpty()) return 0.0;
    const double shared = double(common.width()) * common.height();
    const double joint = double(a.width()) * a.height() + double(b.width()) * b.height() - shared;
    return joint > 0 ? shared / joint : 0.0;
}

// A search through an application's tree stops here whatever it finds.
constexpr int kMaxVisited = 400;

// How long an application that stopped answering is not asked again.
constexpr int kHungPauseMs = 2000;

bool holdsViewport(int role) {
    return role == 42 || role == 15 || role == 46;
}

// Menus and the lists of open combo boxes.
bool isPopup(int role) {
    return role == 11 || role == 33 || role == 35;
}

// Elements below which a toolkit hangs a popup when it opens.
bool opensPopups(int role) {
    return role == 2 || role == 12 || role == 46 || role == 57 || role == 22;
}

// Controls that never hold an open menu or list below them: a search for a
// popup need not look inside.
bool isLeafControl(int role, quint64 states) {
    switch (role) {
    case 29: // cell
    case 34: // list item
    case 36: // tree item
    case 40: // image
    case 41: // static text
    case 42: // editable text
    case 44: // check box
    case 45: // radio button
    case 48: // progress bar
    case 51: // slider
    case 52: // spin button
        return true;
    case 43: // push button, unless it opens a menu
        return !has(states, ATSPI_STATE_HAS_POPUP);
    default:
        return false;
    }
}

} // namespace

AtspiAccessibility::AtspiAccessibility(Desktop& desktop, int callTimeoutMs, int budgetMs)
    : m_desktop(desktop), m_callTimeoutMs(callTimeoutMs), m_budgetMs(budgetMs) {
    if (busReachable()) {
        // Once per process: a second atspi_init() answers "already done"
        // even when the first one found no bus.
        static const int initResult = atspi_init();
        m_available = initResult == 0 || initResult == 1;
    }
    if (!m_available)
        writeLog(
            QStringLiteral("アクセシビリティ バスに接続できません。要素の情報なしで記録します"));
}

AtspiAccessibility::~AtspiAccessibility() = default;

qint64 AtspiAccessibility::askablePid(WindowId window) {
    if (!window || window == m_desktop.desktopWindow()) return 0;
    const qint64 pid = m_desktop.processId(window);
    // Asking ourselves would wait for an answer that our own blocked thread
    // has to give.
    return pid > 0 && pid != getpid() ? pid : 0;
}

_AtspiAccessible* AtspiAccessibility::applicationOf(qint64 pid) {
    // The registry is asked here; the last inspection may have left the
    // timeout at the few milliseconds it had left.
    atspi_set_timeout(m_callTimeoutMs, -1);
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) return nullptr;
    AtspiAccessible* found = nullptr;
    GError* error = nullptr;
    const int count = atspi_accessible_get_child_count(desktop, &error);
    g_clear_error(&error);
    for (int i = 0; i < count && !found; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, &error);
        g_clear_error(&error);
        if (!app) continue;
        const QString bus =
            QString::fromUtf8(ATSPI_OBJECT(app)->app ? ATSPI_OBJECT(app)->app->bus_name : "");
        auto known = m_pidOfBus.constFind(bus);
        qint64 appPid = known != m_pidOfBus.constEnd() ? *known : 0;
        if (known == m_pidOfBus.constEnd()) {
            // The bus daemon answers this, never the application itself.
            appPid = atspi_accessible_get_process_id(app, &error);
            if (error)
                g_clear_error(&error);
            else
                m_pidOfBus.insert(bus, appPid);
        }
        if (appPid == pid)
            found = app;
        else
            g_object_unref(app);
    }
    g_object_unref(desktop);
    return found;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::openApplication(qint64 pid) {
    // An application that did not answer the last query is left alone for a
    // while: one step asks several times (tracker, inspection, focus), and
    // each would otherwise wait for its own timeout.
    if (const auto last = m_lastBudget.value(pid); last && last->timedOut())
        m_hungUntil.insert(pid, QDeadlineTimer(kHungPauseMs));
    m_lastBudget.remove(pid);
    if (const auto hung = m_hungUntil.constFind(pid); hung != m_hungUntil.constEnd()) {
        if (!hung->hasExpired()) return nullptr;
        m_hungUntil.remove(pid);
    }
    AtspiAccessible* handle = applicationOf(pid);
    if (!handle) return nullptr;
    auto budget = std::make_shared<CallBudget>(m_callTimeoutMs, m_budgetMs);
    m_lastBudget.insert(pid, budget);
    return wrap(handle, budget);
}

std::shared_ptr<AtspiElement> AtspiAccessibility::topLevelFor(AtspiElement& app, WindowId window) {
    const QRect xRect = m_desktop.windowRect(window);
    ElementRef best;
    double bestOverlap = 0.5; // a popup over a big window must not pass for it
    const int count = app.childCount();
    for (int i = 0; i < count; ++i) {
        ElementRef top = childAt(app, i);
        if (!top || !has(top->atspiStates(), ATSPI_STATE_SHOWING)) continue;
        const double agreement = overlap(top->location(), xRect);
        if (agreement > bestOverlap) {
            bestOverlap = agreement;
            best = top;
        }
    }
    return best;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::openPopupAt(AtspiElement& app, QPoint point) {
    // An open menu or drop-down list is not one of the application's windows
    // in every toolkit: it hangs below the item that opened it. Walk the
    // showing elements and take the deepest one at the point that lies in a
    // menu or a list. Menus and the items that open them are walked first;
    // once a popup is found and explored, the rest of the window is not.
    struct Node {
        ElementRef element;
        bool inPopup;
    };
    QQueue<Node> urgent, later;
    const auto enqueue = [&](ElementRef element, bool inPopup) {
        const int number = roleFromAtspi(element->atspiRole());
        if (inPopup || opensPopups(number) || isPopup(number))
            urgent.enqueue({std::move(element), inPopup});
        else
            later.enqueue({std::move(element), inPopup});
    };
    const int count = app.childCount();
    for (int i = 0; i < count; ++i)
        if (ElementRef top = childAt(app, i)) urgent.enqueue({top, false});
    ElementRef found;
    for (int visited = 0; visited < kMaxVisited; ++visited) {
        if (urgent.isEmpty() && (found || later.isEmpty())) break;
        const Node node = urgent.isEmpty() ? later.dequeue() : urgent.dequeue();
        AtspiElement& e = *node.element;
        const quint64 states = e.atspiStates();
        if (!has(states, ATSPI_STATE_SHOWING)) continue;
        const int number = roleFromAtspi(e.atspiRole());
        const bool popup = node.inPopup || isPopup(number);
        // Extents cost a call; only elements in a popup need them.
        const bool contains = popup && e.location().contains(point);
        if (contains) found = node.element;
        if (isLeafControl(number, states)) continue;
        // Long lists are entered only where the point is.
        if (has(states, ATSPI_STATE_MANAGES_DESCENDANTS) && !contains) continue;
        const int children = e.childCount();
        for (int i = 0; i < children && i < kMaxVisited; ++i)
            if (ElementRef child = childAt(e, i)) enqueue(std::move(child), popup);
        if (e.budget()->gaveUp()) break;
    }
    return found;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::deepestAt(std::shared_ptr<AtspiElement> from,
                                                            QPoint point) {
    ElementRef current = std::move(from);
    for (int depth = 0; depth < 64; ++depth) {
        CallBudget& budget = *current->budget();
        if (!budget.allowCall()) break;
        const qint64 started = budget.elapsed();
        GError* error = nullptr;
        AtspiAccessible* child =
            atspi_component_get_accessible_at_point(ATSPI_COMPONENT(current->handle()), point.x(),
                                                    point.y(), ATSPI_COORD_TYPE_SCREEN, &error);
        budget.callDone(started);
        if (error) {
            g_error_free(error);
            break;
        }
        if (!child || child == current->handle()) {
            if (child) g_object_unref(child);
            break;
        }
        current = wrap(child, current->budget());
    }
    // A text field's nameless inner area (its scrolling viewport) is part of
    // the field, as it is for the user. Toolkits may answer the viewport in
    // one hop, so look back from the answer.
    if (roleFromAtspi(current->atspiRole()) == 10 && current->name().isEmpty()) {
        if (AccessibleRef up = current->parent()) {
            auto holder = std::static_pointer_cast<AtspiElement>(up);
            if (holdsViewport(roleFromAtspi(holder->atspiRole()))) return holder;
        }
    }
    return current;
}

AccessibleRef AtspiAccessibility::objectAtPoint(QPoint point) {
    if (!m_available) return nullptr;
    const WindowId window = m_desktop.topLevelWindow(m_desktop.windowAt(point));
    const qint64 pid = askablePid(window);
    if (!pid) return nullptr;
    ElementRef app = openApplication(pid);
    if (!app) return nullptr;
    ElementRef top = topLevelFor(*app, window);
    if (top && top->location().contains(point)) return deepestAt(top, point);
    if (!app->budget()->gaveUp()) {
        if (ElementRef popup = openPopupAt(*app, point)) return deepestAt(popup, point);
    }
    // On the window's frame or title bar: the window itself.
    return top;
}

AccessibleRef AtspiAccessibility::objectOfWindow(WindowId window) {
    if (!m_available) return nullptr;
    const WindowId top = m_desktop.topLevelWindow(window);
    const qint64 pid = askablePid(top);
    if (!pid) return nullptr;
    ElementRef app = openApplication(pid);
    if (!app) return nullptr;
    return topLevelFor(*app, top);
}

std::shared_ptr<AtspiElement> AtspiAccessibility::findFocused(const ElementRef& from) {
    // Depth first, in the order a reader sees the window; hidden parts and
    // the insides of long lists are skipped.
    QList<ElementRef> stack{from};
    for (int visited = 0; !stack.isEmpty() && visited < kMaxVisited; ++visited) {
        ElementRef e = stack.takeLast();
        const quint64 states = e->atspiStates();
        if (e->budget()->gaveUp()) return nullptr;
        if (e != from) {
            if (has(states, ATSPI_STATE_FOCUSED)) return e;
            if (!has(states, ATSPI_STATE_SHOWING) || has(states, ATSPI_STATE_MANAGES_DESCENDANTS))
                continue;
        }
        const int children = e->childCount();
        for (int i = children - 1; i >= 0; --i)
            if (ElementRef child = childAt(*e, i)) stack.append(child);
    }
    return nullptr;
}

AccessibleRef AtspiAccessibility::focusedObject() {
    if (!m_available) return nullptr;
    const WindowId window = m_desktop.foregroundWindow();
    const qint64 pid = askablePid(window);
    if (!pid) return nullptr;
    ElementRef app = openApplication(pid);
    if (!app) return nullptr;
    if (ElementRef top = topLevelFor(*app, m_desktop.topLevelWindow(window)))
        return findFocused(top);
    return findFocused(app);
}

} // namespace klavoro::x11
