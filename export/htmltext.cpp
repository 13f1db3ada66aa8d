#include "export/htmltext.h"

#include "store/sjis.h"

#include <QUrl>

namespace klavoro {

namespace {
// Escapes with `entityOf` (null: the character stays), copying the runs of
// plain characters in one piece; a text without any comes back shared.
template <typename EntityOf> QString escapeWith(const QString& text, EntityOf entityOf) {
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && !entityOf(p[i].unicode()))
        ++i;
    if (i == n) return text;
    QString out;
    out.reserve(n + n / 4 + 8);
    qsizetype plainFrom = 0;
    for (; i < n; ++i) {
        const char* entity = entityOf(p[i].unicode());
        if (!entity) continue;
        out.append(p + plainFrom, i - plainFrom);
        out.append(QLatin1String(entity));
        plainFrom = i + 1;
    }
    out.append(p + plainFrom, n - plainFrom);
    return out;
}

const char* sentenceEntity(char16_t c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case ' ':
        return "&nbsp;";
    case '"':
        return "&quot;";
    case '\\':
        return "&yen;";
    case 0xA9:
        return "&copy;";
    case 0xAE:
        return "&reg;";
    default:
        return nullptr;
    }
}

const char* markupEntity(char16_t c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        return nullptr;
    }
}

const char* attributeEntity(char16_t c) {
    switch (c) {
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return markupEntity(c);
    }
}
} // namespace

QString htmlEscape(const QString& text) {
    return escapeWith(text, sentenceEntity);
}

QString htmlEscapeMarkup(const QString& text) {
    return escapeWith(text, markupEntity);
}

QString htmlAttribute(const QString& text) {
    return escapeWith(text, attributeEntity);
}

QString urlSegment(const QString& fileName) {
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

QByteArray htmlShiftJis(const QString& page) {
    return toShiftJis(page, [](char32_t code) {
        return "&#" + QByteArray::number(static_cast<uint>(code)) + ';';
    });
}

} // namespace klavoro
