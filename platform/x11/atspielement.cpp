// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspielement.h"

#include "platform/x11/atspiroles.h"

#include <algorithm>

namespace klavoro::x11 {

CallBudget::CallBudget(int callTimeoutMs, int totalMs)
    : m_callTimeoutMs(callTimeoutMs), m_totalMs(totalMs) {
    m_clock.start();
}

int CallBudget::nextCallTimeout() {
    if (m_gaveUp) return 0;
    const qint64 left = m_totalMs - m_clock.elapsed();
    if (left <= 0) {
        m_gaveUp = true;
        return 0;
    }
    ++m_calls;
    // A call never outlasts what is left of the query's time.
    m_lastTimeoutMs = static_cast<int>(std::min<qint64>(m_callTimeoutMs, left));
    return m_lastTimeoutMs;
}

void CallBudget::callDone(qint64 startedMs, bool timedOut) {
    // A fast failure is an answer (no such interface, element gone); a slow
    // call is an application that does not answer. A call cut short by what
    // was left of the budget says nothing about the application.
    // Only a call that ran into a full timeout marks the application hung: a
    // slow answer on a busy machine is still an answer.
    const bool slow = timedOut || m_clock.elapsed() - startedMs >= m_callTimeoutMs * 3 / 4;
    if (timedOut && m_lastTimeoutMs >= m_callTimeoutMs * 3 / 4) m_timedOut = true;
    if (slow || m_timedOut || m_clock.elapsed() >= m_totalMs) m_gaveUp = true;
}

void CallBudget::limitTotal(int totalMs) {
    m_totalMs = std::min(m_totalMs, totalMs);
}

namespace {

constexpr guint32 kCoordScreen = ATSPI_COORD_TYPE_SCREEN;
constexpr guint32 kCoordWindow = ATSPI_COORD_TYPE_WINDOW;

QString stringOf(const AtspiReply& reply, bool boxed) {
    if (!reply) return QString();
    const gchar* text = nullptr;
    if (boxed) {
        g_variant_get(reply.value, "(&s)", &text);
    } else if (g_variant_is_of_type(reply.value, G_VARIANT_TYPE_STRING)) {
        text = g_variant_get_string(reply.value, nullptr);
    }
    return QString::fromUtf8(text);
}

AtspiRef refOf(GVariant* so, const QString& sameBus) {
    const gchar* bus = nullptr;
    const gchar* path = nullptr;
    g_variant_get(so, "(&s&o)", &bus, &path);
    AtspiRef ref{QString::fromUtf8(bus), QString::fromUtf8(path)};
    if (ref.bus.isEmpty()) ref.bus = sameBus;
    return ref;
}

} // namespace

AtspiElement::AtspiElement(AtspiRef ref, AppRef app) : m_ref(std::move(ref)), m_app(std::move(app)) {}

AtspiReply AtspiElement::call(const char* interface, const char* method, GVariant* params,
                              const char* replyType) {
    CallBudget& budget = *m_app->budget;
    const int timeout = budget.nextCallTimeout();
    if (timeout <= 0) {
        if (params) g_variant_unref(g_variant_ref_sink(params));
        return {};
    }
    const qint64 started = budget.elapsed();
    AtspiReply reply = m_app->bus->call(m_ref, interface, method, params, replyType, timeout);
    budget.callDone(started, reply.timedOut);
    return reply;
}

AtspiReply AtspiElement::property(const char* interface, const char* name) {
    CallBudget& budget = *m_app->budget;
    const int timeout = budget.nextCallTimeout();
    if (timeout <= 0) return {};
    const qint64 started = budget.elapsed();
    AtspiReply reply = m_app->bus->property(m_ref, interface, name, timeout);
    budget.callDone(started, reply.timedOut);
    return reply;
}

std::shared_ptr<AtspiElement> AtspiElement::fromReply(const AtspiReply& reply) {
    if (!reply) return nullptr;
    GVariant* so = g_variant_is_of_type(reply.value, G_VARIANT_TYPE("((so))"))
                       ? g_variant_get_child_value(reply.value, 0)
                       : g_variant_ref(reply.value);
    const AtspiRef ref = refOf(so, m_ref.bus);
    g_variant_unref(so);
    return elementOf(ref);
}

std::shared_ptr<AtspiElement> AtspiElement::elementOf(const AtspiRef& ref) {
    if (ref.isNull()) return nullptr;
    return std::make_shared<AtspiElement>(ref, m_app);
}

unsigned AtspiElement::extentsType() const {
    return m_app->windowCoordinates ? kCoordWindow : kCoordScreen;
}

void AtspiElement::takeRole(const AtspiReply& reply) {
    guint32 r = 0;
    if (reply) g_variant_get(reply.value, "(u)", &r);
    m_role = static_cast<int>(r);
}

void AtspiElement::takeStates(const AtspiReply& reply) {
    m_states = 0;
    if (!reply) return;
    GVariant* words = g_variant_get_child_value(reply.value, 0);
    gsize count = 0;
    const auto* bits =
        static_cast<const guint32*>(g_variant_get_fixed_array(words, &count, sizeof(guint32)));
    quint64 mask = 0;
    if (count > 0) mask |= bits[0];
    if (count > 1) mask |= quint64(bits[1]) << 32;
    g_variant_unref(words);
    if (m_app->visibleIsShowing && (mask >> ATSPI_STATE_VISIBLE) & 1)
        mask |= quint64(1) << ATSPI_STATE_SHOWING;
    m_states = mask;
}

void AtspiElement::takeExtents(const AtspiReply& reply) {
    QRect rect;
    if (reply) {
        gint32 x = 0, y = 0, w = 0, h = 0;
        g_variant_get(reply.value, "((iiii))", &x, &y, &w, &h);
        rect = QRect(x, y, w, h);
        // Elements that are not shown answer with the lowest integers.
        if (m_app->windowCoordinates && x > -0x10000000 && y > -0x10000000)
            rect.translate(m_app->windowOrigin);
    }
    m_location = rect;
}

void AtspiElement::takeRelations(const AtspiReply& reply) {
    QList<AtspiRef> labels;
    if (reply) {
        GVariant* relations = g_variant_get_child_value(reply.value, 0);
        const gsize count = g_variant_n_children(relations);
        for (gsize i = 0; i < count; ++i) {
            GVariant* relation = g_variant_get_child_value(relations, i);
            guint32 type = 0;
            GVariant* targets = nullptr;
            g_variant_get(relation, "(u@a(so))", &type, &targets);
            if (type == ATSPI_RELATION_LABELLED_BY) {
                const gsize n = g_variant_n_children(targets);
                for (gsize t = 0; t < n; ++t) {
                    GVariant* so = g_variant_get_child_value(targets, t);
                    const AtspiRef ref = refOf(so, m_ref.bus);
                    g_variant_unref(so);
                    if (!ref.isNull()) labels << ref;
                }
            }
            g_variant_unref(targets);
            g_variant_unref(relation);
        }
        g_variant_unref(relations);
    }
    m_labels = labels;
}

void AtspiElement::takeProperties(const AtspiReply& name, const AtspiReply& parent,
                                  const AtspiReply& children) {
    // Each came boxed in a variant.
    const auto inner = [](const AtspiReply& r) -> GVariant* {
        GVariant* value = nullptr;
        if (r) g_variant_get(r.value, "(v)", &value);
        return value;
    };
    if (GVariant* v = inner(name)) {
        if (g_variant_is_of_type(v, G_VARIANT_TYPE_STRING))
            m_name = QString::fromUtf8(g_variant_get_string(v, nullptr));
        g_variant_unref(v);
    }
    if (GVariant* v = inner(parent)) {
        if (g_variant_is_of_type(v, G_VARIANT_TYPE("(so)"))) m_parentRef = refOf(v, m_ref.bus);
        g_variant_unref(v);
    }
    if (GVariant* v = inner(children)) {
        if (g_variant_is_of_type(v, G_VARIANT_TYPE_INT32))
            m_childCount = std::max(0, g_variant_get_int32(v));
        g_variant_unref(v);
    }
}

void AtspiElement::prefetch(bool relations) {
    CallBudget& budget = *m_app->budget;
    const int timeout = budget.nextCallTimeout();
    if (timeout <= 0) return;
    // Properties one by one: Properties.GetAll ends a Qt 5 application.
    const auto property = [this](const char* name) {
        return AtspiBus::Request{m_ref, "org.freedesktop.DBus.Properties", "Get",
                                 g_variant_new("(ss)", "org.a11y.atspi.Accessible", name), "(v)"};
    };
    std::vector<AtspiBus::Request> batch;
    // The labels before the name: an application answers in order, so a
    // name that came in time has its labels with it (GTK 4 repeats a label
    // in the name, which only the labels tell).
    if (relations)
        batch.push_back({m_ref, "org.a11y.atspi.Accessible", "GetRelationSet", nullptr,
                         "(a(ua(so)))"});
    const size_t first = batch.size();
    batch.push_back(property("Name"));
    batch.push_back(property("Parent"));
    batch.push_back(property("ChildCount"));
    batch.push_back({m_ref, "org.a11y.atspi.Accessible", "GetRole", nullptr, "(u)"});
    batch.push_back({m_ref, "org.a11y.atspi.Accessible", "GetState", nullptr, "(au)"});
    batch.push_back({m_ref, "org.a11y.atspi.Component", "GetExtents",
                     g_variant_new("(u)", extentsType()), "((iiii))"});
    const qint64 started = budget.elapsed();
    const std::vector<AtspiReply> replies = m_app->bus->callAll(std::move(batch), timeout);
    bool late = false;
    for (const AtspiReply& r : replies)
        late = late || r.timedOut;
    budget.callDone(started, late);
    // A relation set that did not come is asked again when wanted.
    if (relations && replies[0]) takeRelations(replies[0]);
    takeProperties(replies[first], replies[first + 1], replies[first + 2]);
    takeRole(replies[first + 3]);
    takeStates(replies[first + 4]);
    takeExtents(replies[first + 5]);
}

std::vector<std::shared_ptr<AtspiElement>> AtspiElement::children() {
    std::vector<std::shared_ptr<AtspiElement>> children;
    const AtspiReply list = call("org.a11y.atspi.Accessible", "GetChildren", nullptr, "(a(so))");
    if (!list) return children;
    GVariant* refs = g_variant_get_child_value(list.value, 0);
    const gsize count = g_variant_n_children(refs);
    for (gsize i = 0; i < count; ++i) {
        GVariant* so = g_variant_get_child_value(refs, i);
        if (auto child = elementOf(refOf(so, m_ref.bus))) children.push_back(std::move(child));
        g_variant_unref(so);
    }
    g_variant_unref(refs);
    m_childCount = static_cast<int>(children.size());
    return children;
}

void AtspiElement::readShapes(const std::vector<std::shared_ptr<AtspiElement>>& elements) {
    if (elements.empty()) return;
    const AppRef& app = elements.front()->m_app;
    CallBudget& budget = *app->budget;
    const int timeout = budget.nextCallTimeout();
    if (timeout <= 0) return;
    std::vector<AtspiBus::Request> batch;
    for (const auto& e : elements) {
        batch.push_back({e->m_ref, "org.a11y.atspi.Accessible", "GetRole", nullptr, "(u)"});
        batch.push_back({e->m_ref, "org.a11y.atspi.Accessible", "GetState", nullptr, "(au)"});
        batch.push_back({e->m_ref, "org.a11y.atspi.Component", "GetExtents",
                         g_variant_new("(u)", e->extentsType()), "((iiii))"});
    }
    const qint64 started = budget.elapsed();
    const std::vector<AtspiReply> replies = app->bus->callAll(std::move(batch), timeout);
    bool late = false;
    for (const AtspiReply& r : replies)
        late = late || r.timedOut;
    budget.callDone(started, late);
    for (size_t i = 0; i < elements.size(); ++i) {
        elements[i]->takeRole(replies[3 * i]);
        elements[i]->takeStates(replies[3 * i + 1]);
        elements[i]->takeExtents(replies[3 * i + 2]);
    }
}

std::vector<std::shared_ptr<AtspiElement>> AtspiElement::childrenWithShape() {
    std::vector<std::shared_ptr<AtspiElement>> list = children();
    readShapes(list);
    return list;
}

QString AtspiElement::key() const {
    return m_ref.bus + u':' + m_ref.path;
}

QString AtspiElement::name() {
    if (!m_name) m_name = stringOf(property("org.a11y.atspi.Accessible", "Name"), false);
    return *m_name;
}

int AtspiElement::atspiRole() {
    if (!m_role) takeRole(call("org.a11y.atspi.Accessible", "GetRole", nullptr, "(u)"));
    return *m_role;
}

quint64 AtspiElement::atspiStates() {
    if (!m_states) takeStates(call("org.a11y.atspi.Accessible", "GetState", nullptr, "(au)"));
    return *m_states;
}

bool AtspiElement::isShowing() {
    return (atspiStates() >> ATSPI_STATE_SHOWING) & 1;
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
        return stringOf(call("org.a11y.atspi.Text", "GetText", g_variant_new("(ii)", 0, -1), "(s)"),
                        true);
    }
    if (number == 3 || number == 48 || number == 49 || number == 51 || number == 52) {
        const AtspiReply reply = property("org.a11y.atspi.Value", "CurrentValue");
        if (reply && g_variant_is_of_type(reply.value, G_VARIANT_TYPE_DOUBLE))
            return QString::number(g_variant_get_double(reply.value), 'g', 15);
    }
    return QString();
}

QString AtspiElement::description() {
    if (!m_description)
        m_description = stringOf(property("org.a11y.atspi.Accessible", "Description"), false);
    return *m_description;
}

QString AtspiElement::defaultAction() {
    return stringOf(call("org.a11y.atspi.Action", "GetName", g_variant_new("(i)", 0), "(s)"),
                    true);
}

QRect AtspiElement::location() {
    if (!m_location)
        takeExtents(call("org.a11y.atspi.Component", "GetExtents",
                         g_variant_new("(u)", extentsType()), "((iiii))"));
    return *m_location;
}

QString AtspiElement::keyboardShortcut() {
    const QString binding = stringOf(
        call("org.a11y.atspi.Action", "GetKeyBinding", g_variant_new("(i)", 0), "(s)"), true);
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
        const auto element = childElement(i);
        if (element && (element->state() & state::Focused)) return QString::number(i + 1);
    }
    return QString();
}

int AtspiElement::childCount() {
    if (!m_childCount) {
        const AtspiReply reply = property("org.a11y.atspi.Accessible", "ChildCount");
        m_childCount = reply && g_variant_is_of_type(reply.value, G_VARIANT_TYPE_INT32)
                           ? std::max(0, g_variant_get_int32(reply.value))
                           : 0;
    }
    return *m_childCount;
}

AccessibleRef AtspiElement::parent() {
    if (m_parent) return m_parent;
    if (!m_parentRef) {
        const AtspiReply reply = property("org.a11y.atspi.Accessible", "Parent");
        m_parentRef = AtspiRef{};
        if (reply && g_variant_is_of_type(reply.value, G_VARIANT_TYPE("(so)")))
            m_parentRef = refOf(reply.value, m_ref.bus);
    }
    m_parent = elementOf(*m_parentRef);
    // The parent is asked for its name and role next, whatever the reason;
    // the parent of a text or picture may be the control clicked through
    // it, named by its labels.
    const int own = m_role ? roleFromAtspi(*m_role) : 0;
    if (m_parent) m_parent->prefetch(own == 41 || own == 40);
    return m_parent;
}

std::shared_ptr<AtspiElement> AtspiElement::childElement(int index) {
    return fromReply(call("org.a11y.atspi.Accessible", "GetChildAtIndex",
                          g_variant_new("(i)", index), "((so))"));
}

AccessibleRef AtspiElement::child(int index) {
    return childElement(index);
}

int AtspiElement::indexInParent() {
    const AtspiReply reply = call("org.a11y.atspi.Accessible", "GetIndexInParent", nullptr, "(i)");
    gint32 index = -1;
    if (reply) g_variant_get(reply.value, "(i)", &index);
    return index;
}

QList<AccessibleRef> AtspiElement::labelledBy() {
    if (!m_labels)
        takeRelations(call("org.a11y.atspi.Accessible", "GetRelationSet", nullptr, "(a(ua(so)))"));
    QList<AccessibleRef> labels;
    for (const AtspiRef& ref : *m_labels)
        if (auto label = elementOf(ref)) labels << label;
    return labels;
}

std::shared_ptr<AtspiElement> AtspiElement::childAtPoint(QPoint point) {
    guint32 type = kCoordScreen;
    if (m_app->windowCoordinates) {
        type = kCoordWindow;
        point -= m_app->windowOrigin;
    }
    return fromReply(call("org.a11y.atspi.Component", "GetAccessibleAtPoint",
                          g_variant_new("(iiu)", point.x(), point.y(), type), "((so))"));
}

double overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    if (common.isEmpty()) return 0.0;
    const double shared = double(common.width()) * common.height();
    const double joint = double(a.width()) * a.height() + double(b.width()) * b.height() - shared;
    return joint > 0 ? shared / joint : 0.0;
}

bool sameSize(const QSize& a, const QSize& b) {
    return qAbs(a.width() - b.width()) <= 1 && qAbs(a.height() - b.height()) <= 1;
}

std::optional<QPoint> gtk4OriginIn(const QRect& xWindow, const QSize& frame) {
    if (sameSize(xWindow.size(), frame)) return xWindow.topLeft();
    if (const QPoint border = gtk4BorderOf(xWindow.size(), frame); !border.isNull())
        return xWindow.topLeft() + border;
    return std::nullopt;
}

QPoint gtk4BorderOf(const QSize& xWindow, const QSize& frame) {
    const int dx = xWindow.width() - frame.width();
    const int dy = xWindow.height() - frame.height();
    // The border is as wide on every side; anything else is not such a
    // border (a window caught while resizing, a popover's surface).
    constexpr int kMost = 64;
    if (frame.isEmpty() || dx != dy || dx <= 0 || dx > kMost) return {};
    return {dx / 2, dy / 2};
}

} // namespace klavoro::x11
