// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspireplies.h"
#include "platform/x11/atspiscreentext.h"

#include <utility>

namespace klavoro::x11 {

using namespace atspireplies;

namespace {

enum class Ask { Text, Name, Role, State, Extents, Relations, Range, LabelName };

// A batch and, for each request, the element (or match) and what it asks.
struct Batch {
    std::vector<AtspiBus::Request> requests;
    std::vector<std::pair<size_t, Ask>> what;
    void add(size_t index, Ask ask, AtspiBus::Request request) {
        requests.push_back(std::move(request));
        what.emplace_back(index, ask);
    }
};

AtspiBus::Request textRequest(const AtspiRef& ref) {
    // -1: to the end, in AT-SPI's and ATK's convention.
    return {ref, kText, "GetText", g_variant_new("(ii)", 0, -1), "(s)"};
}

std::vector<AtspiRef> labelsOf(const AtspiReply& r) {
    std::vector<AtspiRef> labels;
    if (!r) return labels;
    GVariant* relations = g_variant_get_child_value(r.value, 0);
    const gsize n = g_variant_n_children(relations);
    for (gsize j = 0; j < n; ++j) {
        guint32 type = 0;
        GVariant* targets = nullptr;
        g_variant_get_child(relations, j, "(u@a(so))", &type, &targets);
        if (type == ATSPI_RELATION_LABELLED_BY)
            for (AtspiRef& t : refsOf(targets))
                labels.push_back(std::move(t));
        g_variant_unref(targets);
    }
    g_variant_unref(relations);
    return labels;
}

} // namespace

void AtspiScreenText::readElements(std::vector<Element>& elements, const Deadline& deadline) {
    // One message for an element whose kind is known (its text, or the name
    // that stands for a button or a picture); four for one that is not.
    Batch b;
    for (size_t i = 0; i < elements.size(); ++i) {
        Element& e = elements[i];
        if (e.kind != Element::Other && !e.password) b.add(i, Ask::Text, textRequest(e.ref));
        if (e.kind != Element::Text)
            b.add(i, Ask::Name, propertyRequest(e.ref, kAccessible, "Name"));
        if (e.kind == Element::Unknown) {
            if (!e.roleKnown) {
                b.add(i, Ask::Role, {e.ref, kAccessible, "GetRole", nullptr, "(u)"});
                b.add(i, Ask::State, {e.ref, kAccessible, "GetState", nullptr, "(au)"});
            }
            continue;
        }
        if (e.password || e.editable) {
            e.extentsAsked = true;
            b.add(i, Ask::Extents, extentsRequest(e.ref));
        }
        if (e.editable && !e.password) {
            e.relationsAsked = true;
            if (e.kind == Element::Text)
                b.add(i, Ask::Name, propertyRequest(e.ref, kAccessible, "Name"));
            b.add(i, Ask::Relations,
                  {e.ref, kAccessible, "GetRelationSet", nullptr, "(a(ua(so)))"});
        }
    }
    const std::vector<AtspiReply> r = askAll(m_bus, std::move(b.requests), deadline.left());
    std::vector<bool> hasText(elements.size(), false);
    for (size_t k = 0; k < b.what.size(); ++k) {
        const auto [i, ask] = b.what[k];
        Element& e = elements[i];
        if (r[k].timedOut) e.lost = true;
        if (!r[k]) continue;
        switch (ask) {
        case Ask::Text: {
            const gchar* s = nullptr;
            g_variant_get(r[k].value, "(&s)", &s);
            e.text = QString::fromUtf8(s);
            hasText[i] = true;
            break;
        }
        case Ask::Name:
            e.name = stringProperty(r[k]);
            break;
        case Ask::Role: {
            guint32 role = 0;
            g_variant_get(r[k].value, "(u)", &role);
            e.password = e.password || role == ATSPI_ROLE_PASSWORD_TEXT;
            e.editable = e.editable || role == ATSPI_ROLE_TEXT || role == ATSPI_ROLE_ENTRY;
            break;
        }
        case Ask::State:
            e.editable = e.editable || has(statesOf(r[k]), ATSPI_STATE_EDITABLE);
            break;
        case Ask::Extents:
            e.extents = rectOf(r[k], true).translated(e.origin);
            break;
        case Ask::Relations:
            e.labels = labelsOf(r[k]);
            break;
        default:
            break;
        }
    }
    for (size_t i = 0; i < elements.size(); ++i) {
        Element& e = elements[i];
        if (e.kind == Element::Unknown) e.kind = hasText[i] ? Element::Text : Element::Other;
        // A field that shows its password is plain text: its name says it.
        if (e.editable && namedAsPassword(e.name)) e.password = true;
    }
    readCountedTexts(elements, hasText, deadline);
}

void AtspiScreenText::readCountedTexts(std::vector<Element>& elements,
                                       const std::vector<bool>& hasText, const Deadline& deadline) {
    // GTK 4 answers "to the end" (-1) with nothing: a text that came back
    // empty is asked again up to its length, where it has one.
    Batch counts;
    for (size_t i = 0; i < elements.size(); ++i)
        if (hasText[i] && elements[i].text.isEmpty() && !elements[i].password)
            counts.add(i, Ask::Text, propertyRequest(elements[i].ref, kText, "CharacterCount"));
    if (counts.what.empty()) return;
    const std::vector<AtspiReply> n = askAll(m_bus, std::move(counts.requests), deadline.left());
    Batch texts;
    for (size_t k = 0; k < counts.what.size(); ++k) {
        Element& e = elements[counts.what[k].first];
        if (n[k].timedOut) e.lost = true;
        GVariant* v = unboxed(n[k]);
        if (!v) continue;
        const gint32 length =
            g_variant_is_of_type(v, G_VARIANT_TYPE_INT32) ? g_variant_get_int32(v) : 0;
        g_variant_unref(v);
        if (length > 0)
            texts.add(counts.what[k].first, Ask::Text,
                      {e.ref, kText, "GetText", g_variant_new("(ii)", 0, length), "(s)"});
    }
    if (texts.what.empty()) return;
    const std::vector<AtspiReply> r = askAll(m_bus, std::move(texts.requests), deadline.left());
    for (size_t k = 0; k < texts.what.size(); ++k) {
        Element& e = elements[texts.what[k].first];
        if (r[k].timedOut) e.lost = true;
        if (!r[k]) continue;
        const gchar* text = nullptr;
        g_variant_get(r[k].value, "(&s)", &text);
        e.text = QString::fromUtf8(text);
    }
}

void AtspiScreenText::collectTexts(std::vector<Element>& elements, const RedactionRules& rules,
                                   const QRect& area, const Deadline& deadline,
                                   ScreenTextScan* scan) {
    struct Hit {
        size_t element;
        QString text;
        int from = -1, to = -1; // character range; -1: the whole element
        QRect rect;
    };
    std::vector<Hit> hits;
    for (size_t i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        if (e.lost || e.password) continue;
        // A text element's name is its label, shown (and read) on its own.
        if (e.kind == Element::Text) {
            for (const TextMatch& m : rules.find(e.text))
                hits.push_back({i,
                                e.text.mid(m.start, m.length),
                                charOffset(e.text, m.start),
                                charOffset(e.text, m.end()),
                                {}});
        } else if (rules.matches(e.name)) {
            hits.push_back({i, e.name, -1, -1, {}});
        }
    }
    // The fields whose labels may say password, the labels asked so far,
    // and where each match stands.
    const auto fieldsAndLabels = [&](Batch& b) {
        for (size_t i = 0; i < elements.size(); ++i) {
            Element& e = elements[i];
            if (e.lost || !(e.password || e.editable)) continue;
            if (!e.extentsAsked) {
                e.extentsAsked = true;
                b.add(i, Ask::Extents, extentsRequest(e.ref));
            }
            if (!e.password && !e.relationsAsked) {
                e.relationsAsked = true;
                b.add(i, Ask::Relations,
                      {e.ref, kAccessible, "GetRelationSet", nullptr, "(a(ua(so)))"});
            }
            if (!e.password)
                for (const AtspiRef& label : std::exchange(e.labels, {}))
                    b.add(i, Ask::LabelName, propertyRequest(label, kAccessible, "Name"));
        }
    };
    const auto take = [&](const Batch& b, const std::vector<AtspiReply>& r) {
        for (size_t k = 0; k < b.what.size(); ++k) {
            const auto [index, ask] = b.what[k];
            if (ask == Ask::Range) {
                hits[index].rect = rectOf(r[k], false);
                if (!hits[index].rect.isEmpty())
                    hits[index].rect.translate(elements[hits[index].element].origin);
                continue;
            }
            Element& e = elements[index];
            if (ask == Ask::Extents) {
                if (r[k].timedOut) e.lost = true;
                e.extents = rectOf(r[k], true).translated(e.origin);
            } else if (ask == Ask::Relations) {
                if (r[k].timedOut) e.lost = true;
                e.labels = labelsOf(r[k]);
            } else if (ask == Ask::LabelName) {
                // A label that did not answer may say password: boxed, and
                // counted unread, so that the window is read again.
                if (r[k].timedOut)
                    e.labelUnread = true;
                else if (namedAsPassword(stringProperty(r[k])))
                    e.password = true;
            }
        }
    };
    Batch b;
    fieldsAndLabels(b);
    for (size_t h = 0; h < hits.size(); ++h) {
        Element& e = elements[hits[h].element];
        if (hits[h].from >= 0)
            b.add(
                h, Ask::Range,
                {e.ref, kText, "GetRangeExtents",
                 g_variant_new("(iiu)", hits[h].from, hits[h].to, guint32(ATSPI_COORD_TYPE_SCREEN)),
                 "(iiii)"});
        if (!e.extentsAsked) {
            e.extentsAsked = true;
            b.add(hits[h].element, Ask::Extents, extentsRequest(e.ref));
        }
    }
    if (!b.requests.empty()) take(b, askAll(m_bus, std::move(b.requests), deadline.left()));
    // Labels of fields whose relations came only now.
    Batch labels;
    fieldsAndLabels(labels);
    if (!labels.requests.empty())
        take(labels, askAll(m_bus, std::move(labels.requests), deadline.left()));

    for (Element& e : elements) {
        if (e.lost) {
            ++scan->unread;
        } else if (e.password || e.labelUnread) {
            const bool unsure = !e.password;
            if (unsure) ++scan->unread;
            if (e.extents.isEmpty()) {
                scan->unread += unsure ? 0 : 1;
                e.unplaced = true;
            } else if (e.extents.intersects(area)) {
                scan->texts.push_back({e.extents, QString(), true, unsure});
            }
        } else if (e.editable && !e.extents.isEmpty() && e.extents.intersects(area)) {
            scan->plainFields.push_back(e.extents);
        }
    }
    for (const Hit& hit : hits) {
        Element& e = elements[hit.element];
        if (e.password || e.lost) continue; // boxed whole, or counted
        QRect rect = hit.rect;
        // No extents for the range: the whole element goes.
        if (rect.isEmpty() || (!e.extents.isEmpty() && !e.extents.intersects(rect)))
            rect = e.extents;
        if (rect.isEmpty()) {
            ++scan->unread; // found, but where it stands is not known
            e.unplaced = true;
            continue;
        }
        if (rect.intersects(area)) scan->texts.push_back({rect, hit.text, false});
    }
}

} // namespace klavoro::x11
