#include "describe/texttransforms.h"

#include "store/blanks.h"
#include "store/sjis.h"

#include <QStringList>

namespace klavoro {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\u3000';
}

bool isAsciiLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

QString trimmed(const QString& s) {
    return trimBlanks(s).toString();
}

} // namespace

QString replaceWords(const QString& text, const QString& replaceList) {
    QString result = text;
    const QStringList entries = replaceList.split(QChar(1));
    for (const QString& entry : entries) {
        const qsizetype tab = entry.indexOf(u'\t');
        const QString search = tab < 0 ? entry : entry.left(tab);
        const QString replacement = tab < 0 ? QString() : entry.mid(tab + 1);
        // QString::replace would insert at every position for an empty search.
        if (!search.isEmpty()) result.replace(search, replacement, Qt::CaseInsensitive);
    }
    return result;
}

QString stripShortcut(const QString& text) {
    QString s = trimmed(text);
    if (s.endsWith(QLatin1String(")..."))) s.chop(3);
    s = trimmed(s);
    const qsizetype tab = s.indexOf(u'\t');
    if (tab >= 0) s = trimmed(s.left(tab));
    // A caption's mark comes before its colon: "名前(N):".
    if (s.size() >= 4 && (s.endsWith(u':') || s.endsWith(QChar(0xFF1A))) &&
        s[s.size() - 2] == u')')
        s.chop(1);
    const qsizetype n = s.size();
    if (n >= 3 && s[n - 3] == u'(' && isAsciiLetter(s[n - 2]) && s[n - 1] == u')') s.chop(3);
    return trimmed(s);
}

QString collapseBlanks(const QString& text) {
    QString s = text;
    s.replace(u'\t', u' ');
    s = trimmed(s);
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (isBlank(s[i]) && i > 0 && isBlank(s[i - 1])) continue;
        out += s[i];
    }
    return out;
}

QString truncateToWidth(const QString& text, int width) {
    if (halfWidthLength(text) < width) return text;
    // Walk whole characters so that a surrogate pair is never split.
    int reached = 0;
    qsizetype cut = 0;
    qsizetype chars = 0;
    while (cut < text.size() && reached < width) {
        const qsizetype step = text[cut].isHighSurrogate() && cut + 1 < text.size() ? 2 : 1;
        reached += halfWidthLength(text.mid(cut, step));
        cut += step;
        ++chars;
    }
    // Keep chars - 4 characters.
    qsizetype keep = 0;
    for (qsizetype kept = 0; kept < chars - 4 && keep < text.size(); ++kept)
        keep += text[keep].isHighSurrogate() && keep + 1 < text.size() ? 2 : 1;
    return text.left(keep) + QLatin1String("...");
}

QString bracket(const QString& text, const QString& brackets) {
    const QString open = brackets.size() >= 1 ? brackets.left(1) : QString();
    const QString close = brackets.size() >= 2 ? brackets.mid(1, 1) : QString();
    return open + text + close;
}

} // namespace klavoro
