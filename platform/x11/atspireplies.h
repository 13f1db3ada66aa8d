#pragma once

// Helpers of the screen-text reader: requests and replies of AT-SPI calls
// over GDBus. Include after <gio/gio.h> and the AT-SPI constants.
#include "platform/x11/atspibus.h"

#include <QRect>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <vector>

namespace klavoro::x11::atspireplies {

// Elements read at most: a huge table must not eat the budget unseen.
constexpr int kMaxElements = 5000;

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kText = "org.a11y.atspi.Text";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";

inline bool has(quint64 states, AtspiStateType s) {
    return (states >> s) & 1;
}

inline AtspiBus::Request propertyRequest(const AtspiRef& ref, const char* interface,
                                         const char* name) {
    return {ref, kProperties, "Get", g_variant_new("(ss)", interface, name), "(v)"};
}

inline AtspiBus::Request extentsRequest(const AtspiRef& ref) {
    return {ref, "org.a11y.atspi.Component", "GetExtents",
            g_variant_new("(u)", guint32(ATSPI_COORD_TYPE_SCREEN)), "((iiii))"};
}

// The value inside a property's "(v)" reply, or null.
inline GVariant* unboxed(const AtspiReply& r) {
    if (!r) return nullptr;
    GVariant* inner = nullptr;
    g_variant_get(r.value, "(v)", &inner);
    return inner;
}

inline QString stringProperty(const AtspiReply& r) {
    GVariant* v = unboxed(r);
    if (!v) return {};
    const QString s = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                          ? QString::fromUtf8(g_variant_get_string(v, nullptr))
                          : QString();
    g_variant_unref(v);
    return s;
}

inline quint64 statesOf(const AtspiReply& r) {
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

inline std::vector<AtspiRef> refsOf(GVariant* list) {
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

inline QRect rectOf(const AtspiReply& r, bool boxed) {
    if (!r) return {};
    gint32 x = 0, y = 0, w = 0, h = 0;
    g_variant_get(r.value, boxed ? "((iiii))" : "(iiii)", &x, &y, &w, &h);
    return QRect(x, y, w, h);
}

// A field whose name or label says it holds a password: it may be showing
// its text ("show password"), and then it is plain text to AT-SPI.
inline bool namedAsPassword(const QString& name) {
    static const QRegularExpression re(
        QStringLiteral("パスワード|暗証|password|passwd|passphrase|\\bPIN\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

// UTF-16 positions to the character offsets AT-SPI counts in.
inline int charOffset(const QString& s, int utf16) {
    int n = 0;
    for (int i = 0; i < utf16 && i < s.size(); ++i)
        if (!s[i].isLowSurrogate()) ++n;
    return n;
}

// A batch within what is left of the budget; nothing is sent once it is spent.
inline std::vector<AtspiReply> askAll(const AtspiBus& bus, std::vector<AtspiBus::Request> batch,
                                      int left) {
    if (left > 0 && !batch.empty()) return bus.callAll(std::move(batch), left);
    std::vector<AtspiReply> none(batch.size());
    for (AtspiReply& r : none)
        r.timedOut = true;
    for (AtspiBus::Request& r : batch)
        if (r.params) g_variant_unref(g_variant_ref_sink(r.params));
    return none;
}

} // namespace klavoro::x11::atspireplies
