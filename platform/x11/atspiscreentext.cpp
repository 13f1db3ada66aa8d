// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspielement.h"
#include "platform/x11/atspireplies.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/hookthreadshared.h"

#include "platform/desktop.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace klavoro::x11 {

using namespace atspireplies;

AtspiScreenText::AtspiScreenText(Desktop& desktop, bool available, bool useCollection)
    : m_desktop(desktop), m_available(available), m_useCollection(useCollection) {}

AtspiRef AtspiScreenText::applicationOf(qint64 pid, const Deadline& deadline) {
    if (const auto known = m_rootOfPid.constFind(pid); known != m_rootOfPid.constEnd())
        return *known;
    if (deadline.left() <= 0) return {};
    const AtspiReply reply = m_bus.call(AtspiBus::registryRoot(), kAccessible, "GetChildren",
                                        nullptr, "(a(so))", std::max(1, deadline.left()));
    if (!reply) return {};
    GVariant* list = g_variant_get_child_value(reply.value, 0);
    const std::vector<AtspiRef> apps = refsOf(list);
    g_variant_unref(list);
    // The bus daemon tells the processes, never the applications themselves.
    std::vector<AtspiBus::Request> ask;
    const AtspiRef daemon{QStringLiteral("org.freedesktop.DBus"),
                          QStringLiteral("/org/freedesktop/DBus")};
    for (const AtspiRef& app : apps)
        ask.push_back({daemon, "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                       g_variant_new("(s)", app.bus.toUtf8().constData()), "(u)"});
    const std::vector<AtspiReply> pids = askAll(m_bus, std::move(ask), deadline.left());
    for (size_t i = 0; i < apps.size(); ++i) {
        guint32 appPid = 0;
        if (pids[i]) g_variant_get(pids[i].value, "(u)", &appPid);
        if (appPid == pid) {
            m_rootOfPid.insert(pid, apps[i]);
            return apps[i];
        }
    }
    return {};
}

AtspiScreenText::Toolkit AtspiScreenText::toolkitOf(const AtspiRef& root,
                                                    const Deadline& deadline) {
    if (const auto known = m_toolkitOfBus.constFind(root.bus); known != m_toolkitOfBus.constEnd())
        return *known;
    std::vector<AtspiBus::Request> ask;
    for (const char* name : {"ToolkitName", "Version"})
        ask.push_back(propertyRequest(root, "org.a11y.atspi.Application", name));
    const std::vector<AtspiReply> r = askAll(m_bus, std::move(ask), deadline.left());
    Toolkit toolkit;
    if (r[0].timedOut || r[1].timedOut) return toolkit;
    toolkit.known = true;
    toolkit.gtk4 = stringProperty(r[0]) == QLatin1String("GTK") &&
                   stringProperty(r[1]).startsWith(QLatin1String("4."));
    m_toolkitOfBus.insert(root.bus, toolkit);
    return toolkit;
}

namespace {

// The match rule of a Collection query: every state of `states`, any role
// of `roles`, and the interfaces by `interfaceMatch` (short names, as the
// bridges compare them).
GVariant* matchRule(std::initializer_list<int> states, std::initializer_list<int> roles,
                    const char* interface, int interfaceMatch) {
    gint32 stateWords[2] = {0, 0};
    for (int s : states)
        stateWords[s / 32] |= gint32(1u << (s % 32));
    gint32 roleWords[4] = {0, 0, 0, 0};
    for (int r : roles)
        roleWords[r / 32] |= gint32(1u << (r % 32));
    GVariantBuilder st, attributes, ro, interfaces;
    g_variant_builder_init(&st, G_VARIANT_TYPE("ai"));
    for (gint32 w : stateWords)
        g_variant_builder_add(&st, "i", w);
    g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
    g_variant_builder_init(&ro, G_VARIANT_TYPE("ai"));
    for (gint32 w : roleWords)
        g_variant_builder_add(&ro, "i", w);
    g_variant_builder_init(&interfaces, G_VARIANT_TYPE("as"));
    if (interface) g_variant_builder_add(&interfaces, "s", interface);
    const int all = ATSPI_Collection_MATCH_ALL;
    return g_variant_new("(@(aiia{ss}iaiiasib)uib)",
                         g_variant_new("(aiia{ss}iaiiasib)", &st, all, &attributes, all, &ro,
                                       roles.size() > 0 ? int(ATSPI_Collection_MATCH_ANY) : all,
                                       &interfaces, interface ? interfaceMatch : all, FALSE),
                         guint32(ATSPI_Collection_SORT_ORDER_CANONICAL), gint32(kMaxElements),
                         TRUE);
}

} // namespace

bool AtspiScreenText::listByCollection(const AtspiRef& root, int shown, const Deadline& deadline,
                                       std::vector<Element>* out, bool* timedOut) {
    // One batch: what shows, what of it has text, the password fields, the
    // editable fields. The kinds are used only when every answer came.
    const char* const collection = "org.a11y.atspi.Collection";
    std::vector<AtspiBus::Request> batch;
    batch.push_back(
        {root, collection, "GetMatches", matchRule({shown}, {}, nullptr, 0), "(a(so))"});
    batch.push_back({root, collection, "GetMatches",
                     matchRule({shown}, {}, "Text", ATSPI_Collection_MATCH_ALL), "(a(so))"});
    batch.push_back({root, collection, "GetMatches",
                     matchRule({shown}, {ATSPI_ROLE_PASSWORD_TEXT}, nullptr, 0), "(a(so))"});
    batch.push_back({root, collection, "GetMatches",
                     matchRule({shown, ATSPI_STATE_EDITABLE}, {}, nullptr, 0), "(a(so))"});
    const std::vector<AtspiReply> r = askAll(m_bus, std::move(batch), deadline.left());
    *timedOut = r[0].timedOut;
    if (!r[0]) return false;
    const auto listOf = [](const AtspiReply& reply) {
        GVariant* list = g_variant_get_child_value(reply.value, 0);
        std::vector<AtspiRef> refs = refsOf(list);
        g_variant_unref(list);
        return refs;
    };
    const std::vector<AtspiRef> showing = listOf(r[0]);
    QHash<QString, size_t> indexOf;
    out->clear();
    out->reserve(showing.size());
    for (const AtspiRef& ref : showing) {
        indexOf.insert(ref.path, out->size());
        out->push_back({});
        out->back().ref = ref;
    }
    // A bridge that names interfaces otherwise finds no text at all: then
    // every element is asked what it is.
    const bool kinds = r[1] && r[2] && r[3] && (showing.empty() || !listOf(r[1]).empty());
    if (!kinds) return true;
    for (Element& e : *out)
        e.kind = Element::Other;
    const auto mark = [&](const AtspiReply& reply, auto apply) {
        for (const AtspiRef& ref : listOf(reply))
            if (const auto i = indexOf.constFind(ref.path); i != indexOf.constEnd())
                apply((*out)[*i]);
    };
    mark(r[1], [](Element& e) { e.kind = Element::Text; });
    mark(r[2], [](Element& e) { e.password = true; });
    mark(r[3], [](Element& e) { e.editable = true; });
    return true;
}

QPoint AtspiScreenText::Gtk4Windows::windowOrigin(const QSize& size) const {
    for (const QRect& w : windows)
        if (const auto origin = gtk4OriginIn(w, size)) return *origin;
    return fallback;
}

bool AtspiScreenText::Gtk4Windows::isPopover(unsigned role, const QSize& size) const {
    // A popover is a filler, a drop-down's list or a menu, of its X window's size.
    const bool popoverRole = role == ATSPI_ROLE_FILLER || role == ATSPI_ROLE_MENU ||
                             role == ATSPI_ROLE_POPUP_MENU || role == ATSPI_ROLE_WINDOW;
    return on && popoverRole && !popover.isEmpty() && !size.isEmpty() &&
           sameSize(size, popover.size());
}

std::vector<AtspiScreenText::Element> AtspiScreenText::listByWalk(Walk& walk, int shown,
                                                                  const Deadline& deadline,
                                                                  const QRect& area, int* unread,
                                                                  int* levels) {
    // One batch per level: each element's state, children, extents and role
    // together. The children of an element that is not showing are dropped
    // with it (other desktops' windows, closed tabs); the application itself
    // has no state. So is a part that lies outside the picture (a dock, the
    // status bar), unless it may own a popup that stands elsewhere (a window,
    // a menu, a drop-down list).
    const auto mayOwnPopup = [](guint32 role) {
        switch (role) {
        case ATSPI_ROLE_FRAME:
        case ATSPI_ROLE_DIALOG:
        case ATSPI_ROLE_WINDOW:
        case ATSPI_ROLE_MENU_BAR:
        case ATSPI_ROLE_MENU:
        case ATSPI_ROLE_MENU_ITEM:
        case ATSPI_ROLE_POPUP_MENU:
        case ATSPI_ROLE_COMBO_BOX:
        case ATSPI_ROLE_PUSH_BUTTON: // a tool button with its menu
        case ATSPI_ROLE_TOGGLE_BUTTON:
            return true;
        default:
            return false;
        }
    };
    std::vector<Element> showing;
    std::vector<AtspiRef>& level = walk.level;
    std::vector<std::optional<QPoint>>& origins = walk.origins;
    origins.resize(level.size(), walk.gtk4.fallback);
    bool& atRoot = walk.atRoot;
    while (!level.empty()) {
        if (deadline.left() <= 0 || showing.size() >= size_t(kMaxElements)) {
            *unread += int(level.size());
            return showing;
        }
        const size_t asked = atRoot ? 2 : 4;
        std::vector<AtspiBus::Request> batch;
        for (const AtspiRef& ref : level) {
            batch.push_back({ref, kAccessible, "GetState", nullptr, "(au)"});
            batch.push_back({ref, kAccessible, "GetChildren", nullptr, "(a(so))"});
            if (atRoot) continue;
            batch.push_back(extentsRequest(ref));
            batch.push_back({ref, kAccessible, "GetRole", nullptr, "(u)"});
        }
        const std::vector<AtspiReply> replies = askAll(m_bus, std::move(batch), deadline.left());
        std::vector<AtspiRef> next, again;
        std::vector<std::optional<QPoint>> nextOrigins, againOrigins;
        for (size_t i = 0; i < level.size(); ++i) {
            const AtspiReply& states = replies[asked * i];
            const AtspiReply& children = replies[asked * i + 1];
            if (states.timedOut || children.timedOut) {
                again.push_back(level[i]);
                againOrigins.push_back(origins[i]);
                continue;
            }
            // The application's root has no place; a window element has the
            // place of its X window.
            std::optional<QPoint> origin = origins[i];
            if (!atRoot) {
                const quint64 bits = statesOf(states);
                if (!has(bits, AtspiStateType(shown))) continue;
                Element e;
                e.ref = level[i];
                e.editable = has(bits, ATSPI_STATE_EDITABLE);
                const AtspiReply& role = replies[asked * i + 3];
                guint32 roleNumber = 0;
                if (role) {
                    g_variant_get(role.value, "(u)", &roleNumber);
                    e.roleKnown = true;
                    e.password = roleNumber == ATSPI_ROLE_PASSWORD_TEXT;
                    e.editable = e.editable || roleNumber == ATSPI_ROLE_TEXT ||
                                 roleNumber == ATSPI_ROLE_ENTRY;
                }
                const AtspiReply& extents = replies[asked * i + 2];
                const QRect raw = extents ? rectOf(extents, true) : QRect();
                if (!origin) {
                    origin = walk.gtk4.windowOrigin(raw.size());
                } else if (walk.gtk4.isPopover(roleNumber, raw.size())) {
                    // The open popover: it and what it holds count from its
                    // own X window's corner.
                    origin = walk.gtk4.popover.topLeft() - raw.topLeft();
                }
                e.origin = *origin;
                if (extents) {
                    e.extentsAsked = true;
                    e.extents = raw.translated(e.origin);
                }
                const bool outside = !e.extents.isEmpty() && !e.extents.intersects(area);
                if (outside && e.roleKnown && !mayOwnPopup(roleNumber)) continue;
                showing.push_back(std::move(e));
            }
            if (children) {
                GVariant* list = g_variant_get_child_value(children.value, 0);
                for (AtspiRef& c : refsOf(list)) {
                    next.push_back(std::move(c));
                    nextOrigins.push_back(atRoot && walk.gtk4.on ? std::nullopt : origin);
                }
                g_variant_unref(list);
            }
        }
        ++*levels;
        if (!again.empty()) {
            // Out of time: what did not answer and the level below go to a
            // later scan.
            again.insert(again.end(), std::make_move_iterator(next.begin()),
                         std::make_move_iterator(next.end()));
            againOrigins.insert(againOrigins.end(), nextOrigins.begin(), nextOrigins.end());
            level = std::move(again);
            origins = std::move(againOrigins);
            *unread += int(level.size());
            return showing;
        }
        atRoot = false;
        level = std::move(next);
        origins = std::move(nextOrigins);
    }
    return showing;
}

ScreenTextScan AtspiScreenText::textsIn(QPoint point, const QRect& area,
                                        const RedactionRules& rules, int budgetMs) {
    ScreenTextScan scan;
    scan.available = m_available && m_bus.isOpen();
    if (!scan.available) return scan;
    const WindowId window = m_desktop.topLevelWindow(m_desktop.windowAt(point));
    if (!window || window == m_desktop.desktopWindow()) return scan;
    const qint64 pid = m_desktop.processId(window);
    // Our own windows are never asked (that would wait for ourselves) and
    // never show what the user records.
    if (pid <= 0 || pid == getpid()) return scan;

    const Deadline deadline(budgetMs);
    const AtspiRef root = applicationOf(pid, deadline);
    const Toolkit toolkit = root.isNull() ? Toolkit() : toolkitOf(root, deadline);
    if (!toolkit.known) {
        // Not known to the accessibility service (no toolkit support), or
        // it did not answer in time.
        scan.timedOut = deadline.left() <= 0;
        return scan;
    }
    const int shown = toolkit.gtk4 ? ATSPI_STATE_VISIBLE : ATSPI_STATE_SHOWING;
    Gtk4Windows gtk4;
    if (toolkit.gtk4) {
        gtk4.on = true;
        const QRect here = m_desktop.contentRect(window);
        gtk4.fallback = here.topLeft();
        // The window at the point first: a window element of its size is in it.
        gtk4.windows.push_back(here);
        bool own = false;
        for (const WindowId w : m_desktop.findTopLevelWindows(QString())) {
            if (w == window)
                own = true;
            else if (m_desktop.processId(w) == pid)
                gtk4.windows.push_back(m_desktop.contentRect(w));
        }
        // Not one of the windows a window manager would manage: a popup.
        if (!own) gtk4.popover = here;
    }

    std::vector<Element> elements;
    bool listed = false;
    if (m_useCollection && !m_noCollection.contains(root.bus)) {
        bool timedOut = false;
        listed = listByCollection(root, shown, deadline, &elements, &timedOut);
        if (!listed && timedOut) {
            scan.timedOut = true;
            return scan;
        }
        if (!listed) m_noCollection.insert(root.bus, true);
    }
    Walk walk;
    int levels = 0;
    if (!listed) {
        walk = {{root}, {}, true, gtk4};
        elements = listByWalk(walk, shown, deadline, area, &scan.unread, &levels);
    }
    if (elements.empty() && scan.unread == 0) {
        // An application that went away leaves a dead root behind.
        m_rootOfPid.remove(pid);
        m_toolkitOfBus.remove(root.bus);
        return scan;
    }
    const int listedMs = budgetMs - deadline.left();
    const size_t found = elements.size();
    if (listed)
        for (Element& e : elements)
            e.origin = gtk4.fallback;
    readListed(std::move(elements), std::move(walk), shown, point, area, rules, deadline, &scan);
    if (hookthread::tracing())
        fprintf(stderr, "texts: %s %zu elements %d levels in %d ms, read in %d ms, unread %d\n",
                listed ? "listed" : "walked", found, levels, listedMs,
                budgetMs - deadline.left() - listedMs, scan.unread);
    return scan;
}

ScreenTextScan AtspiScreenText::textsLeft(const ScreenTextLeft& from, const RedactionRules& rules,
                                          int budgetMs) {
    const auto* left = dynamic_cast<const Left*>(&from);
    if (!left) return ScreenTextSource::textsLeft(from, rules, budgetMs);
    ScreenTextScan scan;
    scan.available = m_available && m_bus.isOpen();
    if (!scan.available) return scan;
    const Deadline deadline(budgetMs);
    std::vector<Element> elements = left->elements;
    Walk walk = left->walk;
    int levels = 0;
    std::vector<Element> more =
        listByWalk(walk, left->shown, deadline, left->area, &scan.unread, &levels);
    std::move(more.begin(), more.end(), std::back_inserter(elements));
    readListed(std::move(elements), std::move(walk), left->shown, left->point, left->area, rules,
               deadline, &scan);
    if (hookthread::tracing())
        fprintf(stderr, "texts: went on with %zu elements, walked %d levels, in %d ms, unread %d\n",
                left->elements.size(), levels, budgetMs - deadline.left(), scan.unread);
    return scan;
}

void AtspiScreenText::readListed(std::vector<Element> elements, Walk walk, int shown, QPoint point,
                                 const QRect& area, const RedactionRules& rules,
                                 const Deadline& deadline, ScreenTextScan* scan) {
    // What is known to lie outside the picture is not read: nothing there is
    // boxed. An element whose extents are not known is read all the same.
    elements.erase(std::remove_if(elements.begin(), elements.end(),
                                  [&](const Element& e) {
                                      return !e.extents.isEmpty() && !e.extents.intersects(area);
                                  }),
                   elements.end());
    const std::vector<Element> listed = elements;
    readElements(elements, deadline);
    collectTexts(elements, rules, area, deadline, scan);
    auto left = std::make_shared<Left>();
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].lost || elements[i].labelUnread || elements[i].unplaced)
            left->elements.push_back(listed[i]);
    if (left->elements.empty() && walk.level.empty()) return;
    left->point = point;
    left->area = area;
    left->walk = std::move(walk);
    left->shown = shown;
    scan->left = std::move(left);
}

} // namespace klavoro::x11
