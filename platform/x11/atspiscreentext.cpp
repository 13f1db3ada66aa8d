// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspiscreentext.h"

#include "platform/desktop.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>
#include <unistd.h>

namespace klavoro::x11 {

class AtspiScreenText::Deadline {
public:
    explicit Deadline(int budgetMs) : m_budgetMs(budgetMs) { m_clock.start(); }
    int left() const { return m_budgetMs - int(m_clock.elapsed()); }

private:
    QElapsedTimer m_clock;
    int m_budgetMs;
};

namespace {

// Enough for any form field; a document's text beyond it is not read.
constexpr int kMaxChars = 8192;
// Elements read at most: a huge table must not eat the budget unseen.
constexpr int kMaxElements = 5000;

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kText = "org.a11y.atspi.Text";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";

bool has(quint64 states, AtspiStateType s) {
    return (states >> s) & 1;
}

AtspiBus::Request propertyRequest(const AtspiRef& ref, const char* interface, const char* name) {
    return {ref, kProperties, "Get", g_variant_new("(ss)", interface, name), "(v)"};
}

AtspiBus::Request extentsRequest(const AtspiRef& ref) {
    return {ref, "org.a11y.atspi.Component", "GetExtents",
            g_variant_new("(u)", guint32(ATSPI_COORD_TYPE_SCREEN)), "((iiii))"};
}

// The value inside a property's "(v)" reply, or null.
GVariant* unboxed(const AtspiReply& r) {
    if (!r) return nullptr;
    GVariant* inner = nullptr;
    g_variant_get(r.value, "(v)", &inner);
    return inner;
}

QString stringProperty(const AtspiReply& r) {
    GVariant* v = unboxed(r);
    if (!v) return {};
    const QString s = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                          ? QString::fromUtf8(g_variant_get_string(v, nullptr))
                          : QString();
    g_variant_unref(v);
    return s;
}

int intProperty(const AtspiReply& r) {
    GVariant* v = unboxed(r);
    if (!v) return -1;
    const int n = g_variant_is_of_type(v, G_VARIANT_TYPE_INT32) ? g_variant_get_int32(v) : -1;
    g_variant_unref(v);
    return n;
}

quint64 statesOf(const AtspiReply& r) {
    if (!r) return 0;
    GVariant* words = g_variant_get_child_value(r.value, 0);
    quint64 states = 0;
    const gsize n = std::min<gsize>(g_variant_n_children(words), 2);
    for (gsize i = 0; i < n; ++i) {
        guint32 w = 0;
        g_variant_get_child(words, i, "u", &w);
        states |= quint64(w) << (32 * i);
    }
    g_variant_unref(words);
    return states;
}

std::vector<AtspiRef> refsOf(GVariant* list) {
    std::vector<AtspiRef> refs;
    const gsize count = g_variant_n_children(list);
    refs.reserve(count);
    for (gsize i = 0; i < count; ++i) {
        const gchar* bus = nullptr;
        const gchar* path = nullptr;
        g_variant_get_child(list, i, "(&s&o)", &bus, &path);
        refs.push_back({QString::fromUtf8(bus), QString::fromUtf8(path)});
    }
    return refs;
}

QRect rectOf(const AtspiReply& r, bool boxed) {
    if (!r) return {};
    gint32 x = 0, y = 0, w = 0, h = 0;
    g_variant_get(r.value, boxed ? "((iiii))" : "(iiii)", &x, &y, &w, &h);
    return QRect(x, y, w, h);
}

// A field whose name or label says it holds a password: it may be showing
// its text ("show password"), and then it is plain text to AT-SPI.
bool namedAsPassword(const QString& name) {
    static const QRegularExpression re(
        QStringLiteral("パスワード|暗証|password|passwd|passphrase|\\bPIN\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

// UTF-16 positions to the character offsets AT-SPI counts in.
int charOffset(const QString& s, int utf16) {
    int n = 0;
    for (int i = 0; i < utf16 && i < s.size(); ++i)
        if (!s[i].isLowSurrogate()) ++n;
    return n;
}

// What one element said in the second round.
struct Element {
    AtspiRef ref;
    bool answered = false;
    quint32 role = 0;
    quint64 states = 0;
    QString name;
    int characters = -1; // -1: no text interface
    bool password = false;
    bool mayBePassword = false; // an editable field whose label may say so
};

// A batch within what is left of the budget; nothing is sent once it is spent.
std::vector<AtspiReply> askAll(const AtspiBus& bus, std::vector<AtspiBus::Request> batch,
                               int left) {
    if (left > 0 && !batch.empty()) return bus.callAll(std::move(batch), left);
    std::vector<AtspiReply> none(batch.size());
    for (AtspiReply& r : none)
        r.timedOut = true;
    for (AtspiBus::Request& r : batch)
        if (r.params) g_variant_unref(g_variant_ref_sink(r.params));
    return none;
}

} // namespace

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

bool AtspiScreenText::showingByCollection(const AtspiRef& root, int state,
                                          const Deadline& deadline, std::vector<AtspiRef>* out,
                                          bool* timedOut) {
    if (deadline.left() <= 0) {
        *timedOut = true;
        return false;
    }
    // The rule: the state given; no attribute, role or interface asked.
    GVariantBuilder states, attributes, roles, interfaces;
    g_variant_builder_init(&states, G_VARIANT_TYPE("ai"));
    g_variant_builder_add(&states, "i", gint32(1u << state));
    g_variant_builder_add(&states, "i", gint32(0));
    g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
    g_variant_builder_init(&roles, G_VARIANT_TYPE("ai"));
    for (int i = 0; i < 4; ++i)
        g_variant_builder_add(&roles, "i", gint32(0));
    g_variant_builder_init(&interfaces, G_VARIANT_TYPE("as"));
    const int all = ATSPI_Collection_MATCH_ALL;
    GVariant* rule = g_variant_new("(aiia{ss}iaiiasib)", &states, all, &attributes, all, &roles,
                                   all, &interfaces, all, FALSE);
    const AtspiReply reply = m_bus.call(
        root, "org.a11y.atspi.Collection", "GetMatches",
        g_variant_new("(@(aiia{ss}iaiiasib)uib)", rule,
                      guint32(ATSPI_Collection_SORT_ORDER_CANONICAL), gint32(kMaxElements), TRUE),
        "(a(so))", std::max(1, deadline.left()));
    *timedOut = reply.timedOut;
    if (!reply) return false;
    GVariant* list = g_variant_get_child_value(reply.value, 0);
    *out = refsOf(list);
    g_variant_unref(list);
    return true;
}

std::vector<AtspiRef> AtspiScreenText::showingByWalk(const AtspiRef& root, int state,
                                                     const Deadline& deadline, int* unread) {
    // One batch per level: each element's state and children together. The
    // children of an element that is not showing are dropped with it (other
    // desktops' windows, closed tabs); the application itself has no state.
    std::vector<AtspiRef> showing;
    std::vector<AtspiRef> level{root};
    bool atRoot = true;
    while (!level.empty()) {
        if (deadline.left() <= 0 || showing.size() >= size_t(kMaxElements)) {
            *unread += int(level.size());
            break;
        }
        std::vector<AtspiBus::Request> batch;
        for (const AtspiRef& ref : level) {
            batch.push_back({ref, kAccessible, "GetState", nullptr, "(au)"});
            batch.push_back({ref, kAccessible, "GetChildren", nullptr, "(a(so))"});
        }
        const std::vector<AtspiReply> replies = askAll(m_bus, std::move(batch), deadline.left());
        std::vector<AtspiRef> next;
        for (size_t i = 0; i < level.size(); ++i) {
            const AtspiReply& states = replies[2 * i];
            const AtspiReply& children = replies[2 * i + 1];
            if (states.timedOut || children.timedOut) {
                ++*unread;
                continue;
            }
            if (!atRoot) {
                if (!has(statesOf(states), AtspiStateType(state))) continue;
                showing.push_back(level[i]);
            }
            if (children) {
                GVariant* list = g_variant_get_child_value(children.value, 0);
                for (AtspiRef& c : refsOf(list))
                    next.push_back(std::move(c));
                g_variant_unref(list);
            }
        }
        atRoot = false;
        level = std::move(next);
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
    if (root.isNull()) {
        // Not known to the accessibility service (no toolkit support), or
        // the registry did not answer in time.
        scan.timedOut = deadline.left() <= 0;
        return scan;
    }

    const Toolkit toolkit = toolkitOf(root, deadline);
    if (!toolkit.known) {
        scan.timedOut = true;
        return scan;
    }
    const int shown = toolkit.gtk4 ? ATSPI_STATE_VISIBLE : ATSPI_STATE_SHOWING;
    // Where the window's coordinates start on the screen, for GTK 4.
    const QPoint origin =
        toolkit.gtk4 ? m_desktop.contentRect(window).topLeft() : QPoint(0, 0);

    std::vector<AtspiRef> refs;
    bool found = false;
    if (m_useCollection && !m_noCollection.contains(root.bus)) {
        bool timedOut = false;
        found = showingByCollection(root, shown, deadline, &refs, &timedOut);
        if (!found && timedOut) {
            scan.timedOut = true;
            return scan;
        }
        if (!found) m_noCollection.insert(root.bus, true);
    }
    if (!found) refs = showingByWalk(root, shown, deadline, &scan.unread);
    if (refs.empty() && scan.unread == 0) {
        // An application that went away leaves a dead root behind.
        m_rootOfPid.remove(pid);
        return scan;
    }

    // Second round: what each element is.
    std::vector<Element> elements(refs.size());
    {
        std::vector<AtspiBus::Request> batch;
        for (const AtspiRef& ref : refs) {
            batch.push_back({ref, kAccessible, "GetRole", nullptr, "(u)"});
            batch.push_back(propertyRequest(ref, kAccessible, "Name"));
            batch.push_back({ref, kAccessible, "GetState", nullptr, "(au)"});
            batch.push_back(propertyRequest(ref, kText, "CharacterCount"));
        }
        const std::vector<AtspiReply> r = askAll(m_bus, std::move(batch), deadline.left());
        for (size_t i = 0; i < refs.size(); ++i) {
            Element& e = elements[i];
            e.ref = refs[i];
            const AtspiReply* four = &r[4 * i];
            if (four[0].timedOut || four[1].timedOut || four[2].timedOut || four[3].timedOut) {
                ++scan.unread;
                continue;
            }
            e.answered = true;
            if (four[0]) g_variant_get(four[0].value, "(u)", &e.role);
            e.name = stringProperty(four[1]);
            e.states = statesOf(four[2]);
            e.characters = intProperty(four[3]);
            const bool editable = has(e.states, ATSPI_STATE_EDITABLE) ||
                                  e.role == ATSPI_ROLE_TEXT || e.role == ATSPI_ROLE_ENTRY;
            e.password = e.role == ATSPI_ROLE_PASSWORD_TEXT || (editable && namedAsPassword(e.name));
            e.mayBePassword = editable && !e.password;
        }
    }

    // Third round: the texts, the extents of every field (password or maybe
    // one), and the labels of editable fields.
    struct Read {
        QString text;
        QRect extents;
        std::vector<AtspiRef> labels;
    };
    std::vector<Read> read(elements.size());
    {
        std::vector<AtspiBus::Request> batch;
        std::vector<std::pair<size_t, int>> what; // element, 0 text 1 extents 2 relations
        for (size_t i = 0; i < elements.size(); ++i) {
            const Element& e = elements[i];
            if (!e.answered) continue;
            if (e.password || e.mayBePassword) {
                batch.push_back(extentsRequest(e.ref));
                what.emplace_back(i, 1);
            }
            if (e.mayBePassword) {
                batch.push_back({e.ref, kAccessible, "GetRelationSet", nullptr, "(a(ua(so)))"});
                what.emplace_back(i, 2);
            }
            if (!e.password && e.characters > 0) {
                batch.push_back({e.ref, kText, "GetText",
                                 g_variant_new("(ii)", 0, std::min(e.characters, kMaxChars)),
                                 "(s)"});
                what.emplace_back(i, 0);
            }
        }
        const std::vector<AtspiReply> r = askAll(m_bus, std::move(batch), deadline.left());
        std::vector<bool> lost(elements.size(), false);
        for (size_t k = 0; k < what.size(); ++k) {
            const auto [i, kind] = what[k];
            if (r[k].timedOut) lost[i] = true;
            if (!r[k]) continue;
            if (kind == 0) {
                const gchar* s = nullptr;
                g_variant_get(r[k].value, "(&s)", &s);
                read[i].text = QString::fromUtf8(s);
            } else if (kind == 1) {
                read[i].extents = rectOf(r[k], true).translated(origin);
            } else {
                GVariant* relations = g_variant_get_child_value(r[k].value, 0);
                const gsize n = g_variant_n_children(relations);
                for (gsize j = 0; j < n; ++j) {
                    guint32 type = 0;
                    GVariant* targets = nullptr;
                    g_variant_get_child(relations, j, "(u@a(so))", &type, &targets);
                    if (type == ATSPI_RELATION_LABELLED_BY)
                        for (AtspiRef& t : refsOf(targets))
                            read[i].labels.push_back(std::move(t));
                    g_variant_unref(targets);
                }
                g_variant_unref(relations);
            }
        }
        for (size_t i = 0; i < elements.size(); ++i)
            if (lost[i]) {
                ++scan.unread;
                elements[i].answered = false;
            }
    }

    // Fourth round: the labels' names, and the extents of what matched.
    struct Hit {
        size_t element;
        QString text;
        int from = -1, to = -1; // character range; -1: the whole element
    };
    std::vector<Hit> hits;
    for (size_t i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        if (!e.answered || e.password) continue;
        const QString& value = read[i].text;
        for (const TextMatch& m : rules.find(value))
            hits.push_back({i, value.mid(m.start, m.length), charOffset(value, m.start),
                            charOffset(value, m.end())});
        if (rules.matches(e.name) && !value.contains(e.name)) hits.push_back({i, e.name});
    }
    std::vector<AtspiBus::Request> batch;
    std::vector<std::pair<size_t, int>> what; // hit or element, 0 range 1 extents 2 label
    std::vector<bool> wantExtents(elements.size(), false);
    for (size_t h = 0; h < hits.size(); ++h) {
        const size_t i = hits[h].element;
        if (hits[h].from >= 0) {
            batch.push_back({elements[i].ref, kText, "GetRangeExtents",
                             g_variant_new("(iiu)", hits[h].from, hits[h].to,
                                           guint32(ATSPI_COORD_TYPE_SCREEN)),
                             "(iiii)"});
            what.emplace_back(h, 0);
        }
        if (!wantExtents[i] && read[i].extents.isNull()) {
            wantExtents[i] = true;
            batch.push_back(extentsRequest(elements[i].ref));
            what.emplace_back(i, 1);
        }
    }
    std::vector<size_t> labelled;
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].answered && elements[i].mayBePassword)
            for (const AtspiRef& label : read[i].labels) {
                batch.push_back(propertyRequest(label, kAccessible, "Name"));
                what.emplace_back(i, 2);
            }
    const std::vector<AtspiReply> r = askAll(m_bus, std::move(batch), deadline.left());
    std::vector<QRect> hitRects(hits.size());
    for (size_t k = 0; k < what.size(); ++k) {
        const auto [index, kind] = what[k];
        if (kind == 0) {
            hitRects[index] = rectOf(r[k], false);
            if (!hitRects[index].isEmpty()) hitRects[index].translate(origin);
        } else if (kind == 1) {
            read[index].extents = rectOf(r[k], true).translated(origin);
        } else if (namedAsPassword(stringProperty(r[k]))) {
            elements[index].password = true;
        } else if (r[k].timedOut) {
            // Whether the field holds a password is not known: it is boxed.
            elements[index].password = true;
        }
    }

    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].answered && elements[i].password) {
            if (read[i].extents.isEmpty())
                ++scan.unread;
            else if (read[i].extents.intersects(area))
                scan.texts.push_back({read[i].extents, QString(), true});
        }
    for (size_t h = 0; h < hits.size(); ++h) {
        const size_t i = hits[h].element;
        if (elements[i].password) continue; // boxed whole already
        QRect rect = hitRects[h];
        const QRect& whole = read[i].extents;
        // No extents for the range: the whole element goes.
        if (rect.isEmpty() || (!whole.isEmpty() && !whole.intersects(rect))) rect = whole;
        if (rect.isEmpty()) {
            ++scan.unread; // found, but where it stands is not known
            continue;
        }
        if (rect.intersects(area)) scan.texts.push_back({rect, hits[h].text, false});
    }
    return scan;
}

} // namespace klavoro::x11
