// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspiaccessibility.h"

#include "platform/desktop.h"
#include "platform/x11/atspireplies.h"
#include "platform/x11/atspiroles.h"
#include "platform/x11/tabstrip.h"
#include "store/logs.h"

#include <cstdio>

#include <unistd.h>

namespace klavoro::x11 {

namespace {

using ElementRef = std::shared_ptr<AtspiElement>;

using atspireplies::has;

// How long an application that stopped answering is not asked again.
constexpr int kHungPauseMs = 2000;

bool holdsViewport(int role) {
    return role == 42 || role == 15 || role == 46;
}

// Extents that say nothing: an element laid out by its parent only (a GTK
// notebook page) or not placed at all.
bool unplaced(const QRect& r) {
    return r.width() <= 0 || r.height() <= 0 || r.x() <= -0x10000000 || r.y() <= -0x10000000;
}

} // namespace

AtspiAccessibility::AtspiAccessibility(Desktop& desktop, int callTimeoutMs, int budgetMs,
                                       bool quiet)
    : m_desktop(desktop), m_callTimeoutMs(callTimeoutMs), m_budgetMs(budgetMs) {
    if (!m_bus.isOpen() && !quiet)
        writeLog(
            QStringLiteral("アクセシビリティ バスに接続できません。要素の情報なしで記録します (") +
            m_bus.errorText() + u')');
}

AtspiAccessibility::~AtspiAccessibility() = default;

qint64 AtspiAccessibility::askablePid(WindowId window) {
    if (!window || window == m_desktop.desktopWindow()) return 0;
    const qint64 pid = m_desktop.processId(window);
    // Asking ourselves would wait for an answer that our own blocked thread
    // may have to give.
    return pid > 0 && pid != getpid() ? pid : 0;
}

AtspiRef AtspiAccessibility::applicationOf(qint64 pid, int timeoutMs) {
    const AtspiReply reply = m_bus.call(AtspiBus::registryRoot(), "org.a11y.atspi.Accessible",
                                        "GetChildren", nullptr, "(a(so))", timeoutMs);
    if (!reply) return {};
    GVariant* list = g_variant_get_child_value(reply.value, 0);
    QList<AtspiRef> apps;
    const gsize count = g_variant_n_children(list);
    for (gsize i = 0; i < count; ++i) {
        const gchar* bus = nullptr;
        const gchar* path = nullptr;
        g_variant_get_child(list, i, "(&s&o)", &bus, &path);
        apps << AtspiRef{QString::fromUtf8(bus), QString::fromUtf8(path)};
    }
    g_variant_unref(list);
    // The bus daemon tells the processes, never the applications themselves:
    // all unknown ones in one round trip.
    std::vector<AtspiBus::Request> ask;
    QList<QString> asked;
    const AtspiRef daemon{QStringLiteral("org.freedesktop.DBus"),
                          QStringLiteral("/org/freedesktop/DBus")};
    for (const AtspiRef& app : apps) {
        if (m_pidOfBus.contains(app.bus) || asked.contains(app.bus)) continue;
        asked << app.bus;
        ask.push_back({daemon, "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                       g_variant_new("(s)", app.bus.toUtf8().constData()), "(u)"});
    }
    const std::vector<AtspiReply> pids = m_bus.callAll(std::move(ask), timeoutMs);
    for (qsizetype i = 0; i < asked.size(); ++i) {
        guint32 appPid = 0;
        if (pids[size_t(i)]) g_variant_get(pids[size_t(i)].value, "(u)", &appPid);
        if (appPid > 0) m_pidOfBus.insert(asked[i], appPid);
    }
    for (const AtspiRef& app : apps)
        if (m_pidOfBus.value(app.bus) == pid) return app;
    return {};
}

AtspiAccessibility::Toolkit AtspiAccessibility::toolkitOf(const AtspiRef& root, int timeoutMs) {
    if (const auto known = m_toolkitOfBus.constFind(root.bus); known != m_toolkitOfBus.constEnd())
        return *known;
    Toolkit toolkit;
    std::vector<AtspiBus::Request> ask;
    for (const char* name : {"ToolkitName", "Version"})
        ask.push_back({root, "org.freedesktop.DBus.Properties", "Get",
                       g_variant_new("(ss)", "org.a11y.atspi.Application", name), "(v)"});
    const std::vector<AtspiReply> replies = m_bus.callAll(std::move(ask), timeoutMs);
    if (replies[0] && replies[1]) {
        const auto text = [](const AtspiReply& r) {
            GVariant* inner = nullptr;
            g_variant_get(r.value, "(v)", &inner);
            const QString value = g_variant_is_of_type(inner, G_VARIANT_TYPE_STRING)
                                      ? QString::fromUtf8(g_variant_get_string(inner, nullptr))
                                      : QString();
            g_variant_unref(inner);
            return value;
        };
        toolkit.gtk4 = text(replies[0]) == QLatin1String("GTK") &&
                       text(replies[1]).startsWith(QLatin1String("4."));
        m_toolkitOfBus.insert(root.bus, toolkit);
    }
    return toolkit;
}

AppRef AtspiAccessibility::openApplication(qint64 pid, WindowId window, AtspiRef* root) {
    const int limit = std::exchange(m_nextLimitMs, 0);
    m_lastTimedOut = false;
    m_queryBudget.reset();
    // An application that did not answer the last query is left alone for a
    // while: one step asks several times (tracker, inspection, focus), and
    // each would otherwise wait for its own timeout.
    if (const auto last = m_lastBudget.value(pid); last && last->timedOut())
        m_hungUntil.insert(pid, QDeadlineTimer(kHungPauseMs));
    m_lastBudget.remove(pid);
    if (const auto hung = m_hungUntil.constFind(pid); hung != m_hungUntil.constEnd()) {
        if (!hung->hasExpired()) {
            m_lastTimedOut = true;
            return nullptr;
        }
        m_hungUntil.remove(pid);
    }
    auto budget = std::make_shared<CallBudget>(m_callTimeoutMs, m_budgetMs);
    if (limit > 0) budget->limitTotal(limit);
    *root = m_rootOfPid.value(pid);
    if (root->isNull()) {
        *root = applicationOf(pid, std::max(1, budget->nextCallTimeout()));
        if (root->isNull()) return nullptr;
        m_rootOfPid.insert(pid, *root);
    }
    m_lastBudget.insert(pid, budget);
    m_queryBudget = budget;
    auto app = std::make_shared<AtspiApp>();
    app->bus = &m_bus;
    app->budget = budget;
    const Toolkit toolkit = toolkitOf(*root, std::max(1, budget->nextCallTimeout()));
    if (toolkit.gtk4) {
        // GTK 4 has no screen coordinates on X11: it answers in those of its
        // window, whose content starts inside the shadow it draws.
        app->windowCoordinates = true;
        app->visibleIsShowing = true;
        const WindowId top = m_desktop.topLevelWindow(window);
        const QRect content = m_desktop.contentRect(top);
        app->windowOrigin = content.topLeft();
        // Its border, once its window element was seen at this size.
        if (const auto known = m_knownWindows.constFind(top);
            known != m_knownWindows.constEnd() && known->xRect == content)
            app->windowOrigin += known->border;
    }
    return app;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::topLevelFor(AtspiElement& app, WindowId window) {
    const QRect xRect = app.app()->windowCoordinates ? m_desktop.contentRect(window)
                                                     : m_desktop.windowRect(window);
    // The window has not moved since the last query: its element is the same.
    if (const auto known = m_knownWindows.constFind(window);
        known != m_knownWindows.constEnd() && known->xRect == xRect &&
        known->frame.bus == app.ref().bus) {
        auto frame = std::make_shared<AtspiElement>(known->frame, app.app());
        frame->assumeLocation(known->frameRect);
        return frame;
    }
    ElementRef best;
    double bestOverlap = 0.5; // a popup over a big window must not pass for it
    const bool windowCoordinates = app.app()->windowCoordinates;
    for (const ElementRef& top : app.childrenWithShape()) {
        if (!top->isShowing()) continue;
        // In window coordinates every window stands at the X window's corner:
        // only its size tells it (the X window's, or within its border).
        if (windowCoordinates && !gtk4OriginIn(xRect, top->location().size())) continue;
        const double agreement = overlap(top->location(), xRect);
        if (agreement > bestOverlap) {
            bestOverlap = agreement;
            best = top;
        }
    }
    if (!best) return best;
    QPoint border;
    if (windowCoordinates) {
        border = *gtk4OriginIn(xRect, best->location().size()) - xRect.topLeft();
        // The element was read with the border of an earlier size of the window.
        if (const QPoint shift = xRect.topLeft() + border - app.app()->windowOrigin;
            !shift.isNull()) {
            auto moved = std::make_shared<AtspiApp>(*app.app());
            moved->windowOrigin += shift;
            const QRect rect = best->location().translated(shift);
            best = std::make_shared<AtspiElement>(best->ref(), moved);
            best->assumeLocation(rect);
        }
    }
    m_knownWindows.insert(window, {best->ref(), xRect, best->location(), border});
    return best;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::deepestAt(std::shared_ptr<AtspiElement> from,
                                                            QPoint point) {
    ElementRef current = std::move(from);
    if (current->app()->windowCoordinates && isWindowRole(current->atspiRole())) {
        // GTK 4 answers the point query only on a window, in the window's
        // coordinates, with the deepest widget there at once: one call where
        // walking its boxes costs a round trip per level. The answer is taken
        // when its own extents hold the point; the walk goes on from it (GTK
        // passes over insensitive widgets).
        if (ElementRef hit = current->childAtPoint(point); hit && hit->key() != current->key()) {
            AtspiElement::readShapes({hit});
            if (hit->isShowing() && hit->location().contains(point)) current = std::move(hit);
        }
    }
    for (int depth = 0; depth < 64 && !current->budget()->gaveUp(); ++depth) {
        // Below its windows GTK 4 answers the point query with nothing: its
        // children are picked by their extents instead.
        ElementRef child = current->app()->windowCoordinates ? nullptr : current->childAtPoint(point);
        if (child && child->key() == current->key()) child.reset();
        if (!child) {
            // The topmost showing child that holds the point; a child that
            // its parent lays out without extents of its own (a GTK notebook
            // page), or a notebook's tab whose page lies outside the tab,
            // hides what lies inside it: look through such children for one
            // whose content holds the point.
            const bool notebook = roleFromAtspi(current->atspiRole()) == 60;
            std::vector<ElementRef> children = current->children();
            if (children.size() == 1 && current->app()->windowCoordinates) {
                // GTK 4 nests single boxes deep: an only child is taken on
                // trust, its shape read only if it has to be told apart.
                child = children.front();
            } else {
                AtspiElement::readShapes(children);
                for (const ElementRef& c : children)
                    if (c->isShowing() && c->location().contains(point)) child = c;
            }
            int looked = 0;
            for (const ElementRef& c : children) {
                if (child || ++looked > 16) break;
                if (!c->isShowing() || (!notebook && !unplaced(c->location()))) continue;
                int inner = 0;
                for (const ElementRef& grandChild : c->childrenWithShape()) {
                    if (++inner > 4) break;
                    if (grandChild->isShowing() && grandChild->location().contains(point)) {
                        child = grandChild;
                        break;
                    }
                }
            }
            // On a tab's padding, outside the extents of its label.
            if (!child && notebook) {
                std::vector<QRect> tabs;
                for (const ElementRef& c : children)
                    tabs.push_back(c->isShowing() && roleFromAtspi(c->atspiRole()) == 37 &&
                                           !unplaced(c->location())
                                       ? c->location()
                                       : QRect());
                if (const int i = tabAtPoint(tabs, point); i >= 0) child = children[size_t(i)];
            }
        }
        if (qEnvironmentVariableIsSet("KLAVORO_TRACE_HOOK")) {
            fprintf(stderr, "  descend role %d at %d,%d origin %d,%d rect %d,%d %dx%d -> %s\n",
                    current->atspiRole(), point.x(), point.y(), current->app()->windowOrigin.x(),
                    current->app()->windowOrigin.y(), current->location().x(),
                    current->location().y(), current->location().width(),
                    current->location().height(), child ? "child" : "none");
        }
        if (!child) break;
        current = child;
    }
    // Everything a step reads of the element, in one round trip.
    current->prefetch(true);
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
    return objectAt(point, m_desktop.topLevelWindow(m_desktop.windowAt(point)), true);
}

AccessibleRef AtspiAccessibility::objectAtPointIn(QPoint point, WindowId window) {
    return objectAt(point, window, false);
}

AccessibleRef AtspiAccessibility::objectAt(QPoint point, WindowId window, bool orPopup) {
    if (!m_bus.isOpen()) return nullptr;
    const qint64 pid = askablePid(window);
    if (!pid) return nullptr;
    AtspiRef root;
    const AppRef app = openApplication(pid, window, &root);
    if (!app) return nullptr;
    AtspiElement application(root, app);
    ElementRef top = topLevelFor(application, window);
    if (!top && !app->budget->gaveUp()) {
        // The application may have gone and come back under another name.
        m_rootOfPid.remove(pid);
        m_knownWindows.remove(window);
    }
    ElementRef result;
    if (top && top->location().contains(point)) {
        result = deepestAt(top, point);
    } else if (orPopup && !app->budget->gaveUp()) {
        ElementRef popup = app->windowCoordinates ? gtk4PopoverOf(application, window)
                                                  : openPopupAt(application, point);
        if (popup) result = deepestAt(popup, point);
    }
    // On the window's frame or title bar: the window itself.
    if (!result) result = top;
    // An application that stopped answering has told nothing that holds
    // (what it said before the silence may be an old window of it).
    if (app->budget->timedOut()) return nullptr;
    return result;
}

void AtspiAccessibility::prepare(QPoint point) {
    if (!m_bus.isOpen()) return;
    const WindowId window = m_desktop.topLevelWindow(m_desktop.windowAt(point));
    const qint64 pid = askablePid(window);
    if (!pid) return;
    AtspiRef root;
    const AppRef app = openApplication(pid, window, &root);
    if (!app) return;
    AtspiElement application(root, app);
    topLevelFor(application, window);
}

AccessibleRef AtspiAccessibility::objectOfWindow(WindowId window) {
    if (!m_bus.isOpen()) return nullptr;
    const WindowId top = m_desktop.topLevelWindow(window);
    const qint64 pid = askablePid(top);
    if (!pid) return nullptr;
    AtspiRef root;
    const AppRef app = openApplication(pid, top, &root);
    if (!app) return nullptr;
    AtspiElement application(root, app);
    return topLevelFor(application, top);
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
        std::vector<ElementRef> children = e->childrenWithShape();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.append(*it);
    }
    return nullptr;
}

AccessibleRef AtspiAccessibility::focusedObject() {
    if (!m_bus.isOpen()) return nullptr;
    const WindowId window = m_desktop.topLevelWindow(m_desktop.foregroundWindow());
    const qint64 pid = askablePid(window);
    if (!pid) return nullptr;
    AtspiRef root;
    const AppRef app = openApplication(pid, window, &root);
    if (!app) return nullptr;
    AtspiElement application(root, app);
    if (ElementRef top = topLevelFor(application, window)) return findFocused(top);
    return findFocused(std::make_shared<AtspiElement>(root, app));
}

AccessibleRef AtspiAccessibility::objectByKey(const QString& key) {
    return objectByKey(key, 0);
}

AccessibleRef AtspiAccessibility::deepestFrom(const QString& key, QPoint point, WindowId window) {
    const AccessibleRef start = objectByKey(key, window);
    if (!start) return nullptr;
    return deepestAt(std::static_pointer_cast<AtspiElement>(start), point);
}

AccessibleRef AtspiAccessibility::objectByKey(const QString& key, WindowId window) {
    if (!m_bus.isOpen()) return nullptr;
    // "<bus name>:<object path>"; the bus name has colons of its own.
    const int split = key.indexOf(QLatin1String(":/"));
    if (split <= 0) return nullptr;
    const QString bus = key.left(split);
    qint64 pid = m_pidOfBus.value(bus);
    if (pid == 0) {
        pid = m_bus.processOf(bus, m_callTimeoutMs);
        if (pid > 0) m_pidOfBus.insert(bus, pid);
    }
    if (pid <= 0 || pid == getpid()) return nullptr;
    AtspiRef root;
    AppRef app = openApplication(pid, window, &root);
    if (!app || root.bus != bus) return nullptr;
    const WindowId top = window ? m_desktop.topLevelWindow(window) : 0;
    if (app->windowCoordinates && top && !m_knownWindows.contains(top)) {
        // GTK 4's coordinates start inside the border its window element
        // tells, or where its popover's surface stands.
        AtspiElement application(root, app);
        ElementRef frame = topLevelFor(application, top);
        if (!frame && !app->budget->gaveUp()) frame = gtk4PopoverOf(application, top);
        if (frame) app = frame->app();
    }
    return std::make_shared<AtspiElement>(AtspiRef{bus, key.mid(split + 1)}, app);
}

} // namespace klavoro::x11
