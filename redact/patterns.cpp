#include "redact/patterns.h"

#include <algorithm>

namespace klavoro {
namespace {

// Full-width ASCII, the ideographic blank and the dash look-alikes become
// their ASCII forms, one unit for one, so that positions stay those of the
// original text ("０９０－１２３４－５６７８" is a phone number too).
QString folded(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
        else if ((u >= 0x2010 && u <= 0x2015) || u == 0x2212 || u == 0xFE63)
            c = QLatin1Char('-');
    }
    return out;
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isAsciiAlnum(QChar c) {
    return isAsciiDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

const QRegularExpression& mailExpression() {
    static const QRegularExpression re(
        QStringLiteral("(?<![A-Za-z0-9._%+-])[A-Za-z0-9._%+-]{1,64}@"
                       "(?:[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\.){1,8}[A-Za-z]{2,24}"
                       "(?![A-Za-z0-9-])"));
    return re;
}

const QRegularExpression& phoneExpression() {
    // Domestic numbers start with 0 (area or mobile prefix); international
    // ones with +81 and drop that 0, sometimes kept as "(0)".
    static const QRegularExpression re(
        QStringLiteral("(?<![0-9A-Za-z+])"
                       "(?:(?<intl>\\+81[- ]?(?:\\(0\\)[- ]?)?[0-9]{1,4})"
                       "|(?:\\(0[0-9]{1,4}\\)|0[0-9]{1,4}))"
                       "(?:[- ]|\\) ?)?[0-9]{1,4}[- ]?[0-9]{3,4}(?![0-9A-Za-z])"));
    return re;
}

void findPhones(const QString& text, std::vector<TextMatch>& out) {
    auto it = phoneExpression().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString national;
        for (QChar c : m.capturedView(0))
            if (isAsciiDigit(c)) national += c;
        // Without the country code and the trunk 0: mobile, IP and pager
        // numbers (50, 70, 80, 90 ...) have 10 digits, every other one 9.
        if (m.capturedLength(QStringLiteral("intl")) > 0) national.remove(0, 2);
        if (national.startsWith(u'0')) national.remove(0, 1);
        const bool mobile = national.size() >= 2 && national[1] == u'0' &&
                            QStringView(u"5789").contains(national[0]);
        if (national.size() == (mobile ? 10 : 9))
            out.push_back({int(m.capturedStart(0)), int(m.capturedLength(0)), redactkind::Phone});
    }
}

// Runs of digit groups joined by single blanks or hyphens; the card and the
// individual number are looked for in every window of whole groups, so a
// year written after a card number does not hide it.
void findNumbers(const QString& text, int kinds, std::vector<TextMatch>& out) {
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        if (!isAsciiDigit(text[i]) || (i > 0 && isAsciiAlnum(text[i - 1]))) {
            ++i;
            continue;
        }
        struct Group {
            int start, end;
        };
        std::vector<Group> groups;
        int j = i;
        while (true) {
            const int g = j;
            while (j < n && isAsciiDigit(text[j]))
                ++j;
            groups.push_back({g, j});
            if (j + 1 < n && (text[j] == QLatin1Char(' ') || text[j] == QLatin1Char('-')) &&
                isAsciiDigit(text[j + 1]) && groups.size() < 64) {
                ++j;
                continue;
            }
            break;
        }
        // A run glued to letters after it is a code, not a number.
        const bool gluedAfter = j < n && isAsciiAlnum(text[j]);
        std::vector<int> before{0}; // digits in the groups before each group
        for (const Group& g : groups)
            before.push_back(before.back() + (g.end - g.start));
        int covered = -1;
        for (size_t a = 0; a < groups.size(); ++a) {
            for (size_t b = groups.size(); b-- > a;) {
                if (groups[b].end <= covered) break;
                if (gluedAfter && b + 1 == groups.size()) continue;
                const int count = before[b + 1] - before[a];
                if (count < 12 || count > 19) continue;
                const int from = groups[a].start, to = groups[b].end;
                QString digits;
                for (int k = from; k < to; ++k)
                    if (isAsciiDigit(text[k])) digits += text[k];
                int kind = 0;
                if ((kinds & redactkind::Card) && digits.size() >= 13 && digits.size() <= 19 &&
                    luhnValid(digits))
                    kind = redactkind::Card;
                // The individual number stands alone or is written whole:
                // three groups out of a card's four are not one (one in
                // eleven would pass the check).
                else if ((kinds & redactkind::IndividualNumber) && digits.size() == 12 &&
                         (a == b || (a == 0 && b + 1 == groups.size())) &&
                         individualNumberValid(digits))
                    kind = redactkind::IndividualNumber;
                if (kind) {
                    out.push_back({from, to - from, kind});
                    covered = to;
                    break;
                }
            }
        }
        i = j;
    }
}

void findExpression(const QRegularExpression& re, const QString& text, int kind,
                    std::vector<TextMatch>& out) {
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(0) > 0)
            out.push_back({int(m.capturedStart(0)), int(m.capturedLength(0)), kind});
    }
}

} // namespace

bool luhnValid(const QString& digits) {
    if (digits.isEmpty()) return false;
    int sum = 0;
    bool twice = false;
    for (qsizetype i = digits.size(); i-- > 0;) {
        if (!isAsciiDigit(digits[i])) return false;
        int d = digits[i].unicode() - '0';
        if (twice && (d *= 2) > 9) d -= 9;
        sum += d;
        twice = !twice;
    }
    return sum % 10 == 0;
}

bool individualNumberValid(const QString& s) {
    if (s.size() != 12 || !std::all_of(s.begin(), s.end(), isAsciiDigit)) return false;
    // Check digit: digit n counted from the right of the first eleven has
    // the weight n + 1 (n <= 6) or n - 5; 11 - (sum mod 11), 0 when that
    // remainder is 0 or 1.
    int sum = 0;
    for (int n = 1; n <= 11; ++n) {
        const int p = s[11 - n].unicode() - '0';
        sum += p * (n <= 6 ? n + 1 : n - 5);
    }
    const int r = sum % 11;
    const int check = r <= 1 ? 0 : 11 - r;
    return s[11].unicode() - '0' == check;
}

QStringList ownWordEntries(const QString& ownWords) {
    QStringList entries;
    for (const QString& line : ownWords.split(QRegularExpression(QStringLiteral("[\r\n\u0001]")))) {
        const QString e = line.trimmed();
        if (!e.isEmpty()) entries << e;
    }
    return entries;
}

bool isExpressionEntry(const QString& entry) {
    return entry.size() >= 3 && entry.startsWith(u'/') && entry.endsWith(u'/');
}

bool isValidEntry(const QString& entry) {
    if (!isExpressionEntry(entry)) return !entry.trimmed().isEmpty();
    return QRegularExpression(entry.mid(1, entry.size() - 2)).isValid();
}

RedactionRules::RedactionRules(bool enabled, int kinds, const QString& ownWords)
    : m_enabled(enabled), m_kinds(kinds & redactkind::All) {
    for (const QString& e : ownWordEntries(ownWords)) {
        if (!isExpressionEntry(e)) {
            m_words << folded(e);
            continue;
        }
        QRegularExpression re(e.mid(1, e.size() - 2),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::UseUnicodePropertiesOption);
        if (!re.isValid()) {
            ++m_badEntries;
            continue;
        }
        re.optimize();
        m_expressions.push_back(std::move(re));
    }
}

std::vector<TextMatch> RedactionRules::find(const QString& original) const {
    std::vector<TextMatch> found;
    if (!m_enabled || original.isEmpty()) return found;
    const QString text = folded(original);
    if ((m_kinds & redactkind::Mail) && text.contains(u'@'))
        findExpression(mailExpression(), text, redactkind::Mail, found);
    if (m_kinds & redactkind::Phone) findPhones(text, found);
    if (m_kinds & (redactkind::Card | redactkind::IndividualNumber))
        findNumbers(text, m_kinds, found);
    for (const QString& word : m_words) {
        for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(word, at + word.size(), Qt::CaseInsensitive))
            found.push_back({int(at), int(word.size()), redactkind::OwnWord});
    }
    // Expressions see the text as it stands: the user wrote them for it.
    for (const QRegularExpression& re : m_expressions)
        findExpression(re, original, redactkind::OwnWord, found);

    std::sort(found.begin(), found.end(),
              [](const TextMatch& a, const TextMatch& b) { return a.start < b.start; });
    std::vector<TextMatch> merged;
    for (const TextMatch& m : found) {
        if (!merged.empty() && m.start <= merged.back().end()) {
            TextMatch& last = merged.back();
            last.length = std::max(last.end(), m.end()) - last.start;
            last.kind |= m.kind;
        } else {
            merged.push_back(m);
        }
    }
    return merged;
}

QString maskedText(const QString& text, const RedactionRules& rules) {
    const std::vector<TextMatch> matches = rules.find(text);
    if (matches.empty()) return text;
    QString out;
    int at = 0;
    for (const TextMatch& m : matches) {
        out += QStringView(text).mid(at, m.start - at);
        out += kMask;
        at = m.end();
    }
    out += QStringView(text).mid(at);
    return out;
}

} // namespace klavoro
