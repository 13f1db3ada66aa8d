// glib and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi.h>

#include "platform/x11/atspiscreentext.h"

#include "platform/desktop.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>
#include <deque>
#include <unistd.h>

namespace klavoro::x11 {
namespace {

// Enough for any form field; a document's text beyond it is not read.
constexpr int kMaxChars = 8192;
// Elements visited at most: a huge table must not eat the budget unseen.
constexpr int kMaxElements = 5000;

QString takeString(gchar* s) {
    const QString out = QString::fromUtf8(s ? s : "");
    g_free(s);
    return out;
}

QRect rectOf(AtspiRect* r) {
    if (!r) return {};
    const QRect out(r->x, r->y, r->width, r->height);
    g_free(r);
    return out;
}

QRect extentsOf(AtspiAccessible* a) {
    AtspiComponent* c = atspi_accessible_get_component_iface(a);
    if (!c) return {};
    GError* error = nullptr;
    const QRect r = rectOf(atspi_component_get_extents(c, ATSPI_COORD_TYPE_SCREEN, &error));
    g_clear_error(&error);
    g_object_unref(c);
    return r;
}

// A field whose name or label says it holds a password: it may be showing
// its text ("show password"), and then it is plain text to AT-SPI.
bool namedAsPassword(const QString& name) {
    static const QRegularExpression re(
        QStringLiteral("パスワード|暗証|password|passwd|passphrase|\\bPIN\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

QString labelOf(AtspiAccessible* a) {
    GError* error = nullptr;
    GArray* relations = atspi_accessible_get_relation_set(a, &error);
    g_clear_error(&error);
    if (!relations) return {};
    QString label;
    for (guint i = 0; i < relations->len; ++i) {
        AtspiRelation* r = g_array_index(relations, AtspiRelation*, i);
        if (atspi_relation_get_relation_type(r) == ATSPI_RELATION_LABELLED_BY &&
            atspi_relation_get_n_targets(r) > 0) {
            AtspiAccessible* t = atspi_relation_get_target(r, 0);
            if (t) {
                label += takeString(atspi_accessible_get_name(t, &error));
                g_clear_error(&error);
                g_object_unref(t);
            }
        }
        g_object_unref(r);
    }
    g_array_free(relations, TRUE);
    return label;
}

// UTF-16 positions to the character offsets AT-SPI counts in.
int charOffset(const QString& s, int utf16) {
    int n = 0;
    for (int i = 0; i < utf16 && i < s.size(); ++i)
        if (!s[i].isLowSurrogate()) ++n;
    return n;
}

} // namespace

_AtspiAccessible* AtspiScreenText::applicationOf(qint64 pid, int timeoutMs) {
    atspi_set_timeout(timeoutMs, -1);
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
        qint64 appPid = m_pidOfBus.value(bus, -1);
        if (appPid < 0) {
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

ScreenTextScan AtspiScreenText::textsIn(QPoint point, const QRect& area,
                                        const RedactionRules& rules, int budgetMs) {
    ScreenTextScan scan;
    scan.available = m_available;
    if (!m_available) return scan;
    const WindowId window = m_desktop.topLevelWindow(m_desktop.windowAt(point));
    if (!window || window == m_desktop.desktopWindow()) return scan;
    const qint64 pid = m_desktop.processId(window);
    // Our own windows are never asked (that would wait for ourselves) and
    // never show what the user records.
    if (pid <= 0 || pid == getpid()) return scan;

    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return budgetMs - int(clock.elapsed()); };
    AtspiAccessible* app = applicationOf(pid, std::max(1, left()));
    if (!app) return scan;

    std::deque<AtspiAccessible*> queue{app};
    int visited = 0;
    GError* error = nullptr;
    while (!queue.empty()) {
        if (left() <= 0 || visited >= kMaxElements) break;
        atspi_set_timeout(std::max(1, std::min(left(), 100)), -1);
        AtspiAccessible* a = queue.front();
        queue.pop_front();
        ++visited;
        const AtspiRole role = atspi_accessible_get_role(a, &error);
        g_clear_error(&error);
        AtspiStateSet* states = atspi_accessible_get_state_set(a);
        const bool showing = !states || atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
        const bool editable = states && atspi_state_set_contains(states, ATSPI_STATE_EDITABLE);
        if (states) g_object_unref(states);
        const QRect extents = role == ATSPI_ROLE_APPLICATION ? QRect() : extentsOf(a);
        // A hidden or far element hides its children too (windows of other
        // desktops, closed tabs); the application itself has no extents.
        if (role != ATSPI_ROLE_APPLICATION && (!showing || !extents.intersects(area))) {
            g_object_unref(a);
            continue;
        }
        const QString name = takeString(atspi_accessible_get_name(a, &error));
        g_clear_error(&error);
        const bool password = role == ATSPI_ROLE_PASSWORD_TEXT ||
                              ((role == ATSPI_ROLE_TEXT || role == ATSPI_ROLE_ENTRY || editable) &&
                               (namedAsPassword(name) || namedAsPassword(labelOf(a))));
        if (password) {
            scan.texts.push_back({extents, QString(), true});
        } else if (AtspiText* text = atspi_accessible_get_text_iface(a)) {
            const int count = atspi_text_get_character_count(text, &error);
            g_clear_error(&error);
            const QString value =
                count > 0
                    ? takeString(atspi_text_get_text(text, 0, std::min(count, kMaxChars), &error))
                    : QString();
            g_clear_error(&error);
            for (const TextMatch& m : rules.find(value)) {
                const int from = charOffset(value, m.start), to = charOffset(value, m.end());
                QRect r = rectOf(
                    atspi_text_get_range_extents(text, from, to, ATSPI_COORD_TYPE_SCREEN, &error));
                g_clear_error(&error);
                // No extents for the range: the whole element goes.
                if (r.isEmpty() || !extents.intersects(r)) r = extents;
                scan.texts.push_back({r, value.mid(m.start, m.length), false});
            }
            g_object_unref(text);
            if (rules.matches(name) && !value.contains(name))
                scan.texts.push_back({extents, name, false});
        } else if (rules.matches(name)) {
            scan.texts.push_back({extents, name, false});
        }
        const int children = atspi_accessible_get_child_count(a, &error);
        g_clear_error(&error);
        for (int i = 0; i < children && left() > 0; ++i) {
            AtspiAccessible* c = atspi_accessible_get_child_at_index(a, i, &error);
            g_clear_error(&error);
            if (c) queue.push_back(c);
        }
        g_object_unref(a);
    }
    scan.unread = int(queue.size());
    for (AtspiAccessible* a : queue)
        g_object_unref(a);
    return scan;
}

} // namespace klavoro::x11
