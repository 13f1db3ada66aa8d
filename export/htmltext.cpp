#include "export/htmltext.h"

#include "store/sjis.h"

#include <QUrl>

namespace klavoro {

QString htmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 4);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case ' ':
            out += QLatin1String("&nbsp;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\\':
            out += QLatin1String("&yen;");
            break;
        case 0xA9:
            out += QLatin1String("&copy;");
            break;
        case 0xAE:
            out += QLatin1String("&reg;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString htmlEscapeMarkup(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString htmlAttribute(const QString& text) {
    QString out = htmlEscapeMarkup(text);
    out.replace('"', QLatin1String("&quot;"));
    out.replace('\'', QLatin1String("&#39;"));
    return out;
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
