// GIO first: Qt's keyword macros break its headers.
#include <gio/gio.h>

#include "platform/x11/atspibus.h"

#include <QFileInfo>

namespace klavoro::x11 {

namespace {

constexpr int kConnectTimeoutMs = 1000;
const char* const kNullPath = "/org/a11y/atspi/null";

// Asking for the session bus without one would make GIO launch a bus that
// outlives us.
bool sessionBusReachable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QString accessibilityBusAddress(QString* error) {
    const QByteArray fromEnvironment = qgetenv("AT_SPI_BUS_ADDRESS");
    if (!fromEnvironment.isEmpty()) return QString::fromUtf8(fromEnvironment);
    if (!sessionBusReachable()) {
        *error = QStringLiteral("no session bus");
        return QString();
    }
    GError* e = nullptr;
    GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &e);
    if (!session) {
        *error = QString::fromUtf8(e ? e->message : "no session bus");
        g_clear_error(&e);
        return QString();
    }
    GVariant* reply = g_dbus_connection_call_sync(
        session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
        G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, kConnectTimeoutMs, nullptr, &e);
    g_object_unref(session);
    if (!reply) {
        *error = QString::fromUtf8(e ? e->message : "no accessibility bus");
        g_clear_error(&e);
        return QString();
    }
    const gchar* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    const QString result = QString::fromUtf8(address);
    g_variant_unref(reply);
    return result;
}

} // namespace

bool AtspiRef::isNull() const {
    return bus.isEmpty() || path.isEmpty() || path == QLatin1String(kNullPath);
}

AtspiReply::AtspiReply(AtspiReply&& other) noexcept
    : value(std::exchange(other.value, nullptr)), timedOut(other.timedOut) {}

AtspiReply& AtspiReply::operator=(AtspiReply&& other) noexcept {
    if (this != &other) {
        if (value) g_variant_unref(value);
        value = std::exchange(other.value, nullptr);
        timedOut = other.timedOut;
    }
    return *this;
}

AtspiReply::~AtspiReply() {
    if (value) g_variant_unref(value);
}

AtspiBus::AtspiBus() {
    const QString address = accessibilityBusAddress(&m_error);
    if (address.isEmpty()) return;
    GError* e = nullptr;
    m_connection = g_dbus_connection_new_for_address_sync(
        address.toUtf8().constData(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &e);
    if (!m_connection) {
        m_error = QString::fromUtf8(e ? e->message : "cannot connect");
        g_clear_error(&e);
        return;
    }
    // A bus that goes away must not end the process.
    g_dbus_connection_set_exit_on_close(m_connection, FALSE);
}

AtspiBus::~AtspiBus() {
    if (m_connection) {
        g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
        g_object_unref(m_connection);
    }
}

AtspiReply AtspiBus::call(const AtspiRef& object, const char* interface, const char* method,
                          GVariant* params, const char* replyType, int timeoutMs) const {
    AtspiReply reply;
    if (!m_connection || object.isNull()) {
        if (params) g_variant_unref(g_variant_ref_sink(params));
        return reply;
    }
    GError* e = nullptr;
    reply.value = g_dbus_connection_call_sync(
        m_connection, object.bus.toUtf8().constData(), object.path.toUtf8().constData(),
        interface, method, params, replyType ? G_VARIANT_TYPE(replyType) : nullptr,
        G_DBUS_CALL_FLAGS_NO_AUTO_START, std::max(1, timeoutMs), nullptr, &e);
    if (e) {
        reply.timedOut = g_error_matches(e, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
        g_error_free(e);
    }
    return reply;
}

AtspiReply AtspiBus::property(const AtspiRef& object, const char* interface, const char* name,
                              int timeoutMs) const {
    AtspiReply boxed = call(object, "org.freedesktop.DBus.Properties", "Get",
                            g_variant_new("(ss)", interface, name), "(v)", timeoutMs);
    AtspiReply reply;
    reply.timedOut = boxed.timedOut;
    if (boxed) g_variant_get(boxed.value, "(v)", &reply.value);
    return reply;
}

namespace {

// One call of a batch. Its answer may come after the batch has given up
// waiting: the slot then outlives the batch and frees itself.
struct Slot {
    AtspiReply reply;
    bool done = false;
    bool abandoned = false;
    int* pending = nullptr;
};

void replied(GObject* source, GAsyncResult* result, gpointer data) {
    auto* slot = static_cast<Slot*>(data);
    GError* e = nullptr;
    GVariant* value = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &e);
    if (slot->abandoned) {
        if (value) g_variant_unref(value);
        if (e) g_error_free(e);
        delete slot;
        return;
    }
    slot->reply.value = value;
    if (e) {
        slot->reply.timedOut = g_error_matches(e, G_IO_ERROR, G_IO_ERROR_TIMED_OUT);
        g_error_free(e);
    }
    slot->done = true;
    --*slot->pending;
}

} // namespace

std::vector<AtspiReply> AtspiBus::callAll(std::vector<Request> requests, int timeoutMs) const {
    std::vector<AtspiReply> replies(requests.size());
    int pending = 0;
    // Answers are dispatched in a context of this call's own, so that the
    // thread (GUI or not) needs no main loop running.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    std::vector<Slot*> calls(requests.size(), nullptr);
    for (size_t i = 0; i < requests.size(); ++i) {
        Request& r = requests[i];
        if (!m_connection || r.object.isNull()) {
            if (r.params) g_variant_unref(g_variant_ref_sink(r.params));
            continue;
        }
        calls[i] = new Slot;
        calls[i]->pending = &pending;
        ++pending;
        g_dbus_connection_call(m_connection, r.object.bus.toUtf8().constData(),
                               r.object.path.toUtf8().constData(), r.interface, r.method, r.params,
                               r.replyType ? G_VARIANT_TYPE(r.replyType) : nullptr,
                               G_DBUS_CALL_FLAGS_NO_AUTO_START, std::max(1, timeoutMs), nullptr,
                               replied, calls[i]);
    }
    const gint64 deadline = g_get_monotonic_time() + gint64(std::max(1, timeoutMs)) * 1000;
    // Wakes the wait below at the deadline.
    GSource* timer = g_timeout_source_new(static_cast<guint>(std::max(1, timeoutMs)));
    g_source_set_callback(timer, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr,
                          nullptr);
    g_source_attach(timer, context);
    while (pending > 0 && g_get_monotonic_time() < deadline)
        g_main_context_iteration(context, TRUE);
    g_source_destroy(timer);
    g_source_unref(timer);
    for (size_t i = 0; i < calls.size(); ++i) {
        Slot* slot = calls[i];
        if (!slot) continue;
        if (slot->done) {
            replies[i] = std::move(slot->reply);
            delete slot;
        } else {
            replies[i].timedOut = true;
            // Its answer would be dispatched into this context, which nobody
            // runs after this: the slot stays behind (an application that
            // stopped answering costs a few bytes per query).
            slot->abandoned = true;
        }
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return replies;
}

qint64 AtspiBus::processOf(const QString& busName, int timeoutMs) const {
    const AtspiRef daemon{QStringLiteral("org.freedesktop.DBus"),
                          QStringLiteral("/org/freedesktop/DBus")};
    const AtspiReply reply =
        call(daemon, "org.freedesktop.DBus", "GetConnectionUnixProcessID",
             g_variant_new("(s)", busName.toUtf8().constData()), "(u)", timeoutMs);
    if (!reply) return 0;
    guint32 pid = 0;
    g_variant_get(reply.value, "(u)", &pid);
    return pid;
}

AtspiRef AtspiBus::registryRoot() {
    return {QStringLiteral("org.a11y.atspi.Registry"),
            QStringLiteral("/org/a11y/atspi/accessible/root")};
}

} // namespace klavoro::x11
