#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace klavoro {

// Which kinds of personal data are looked for; bits of `redact patterns`.
namespace redactkind {
constexpr int Mail = 0x1;
constexpr int Phone = 0x2;
constexpr int Card = 0x4;
constexpr int IndividualNumber = 0x8;
constexpr int All = Mail | Phone | Card | IndividualNumber;
constexpr int OwnWord = 0x100; // not a setting bit: a match of the user's own list
} // namespace redactkind

// One piece of text to redact: [start, start + length) in UTF-16 units.
struct TextMatch {
    int start = 0;
    int length = 0;
    int kind = 0;
    int end() const { return start + length; }
    bool operator==(const TextMatch&) const = default;
};

// What to look for. Built once from the settings; matching is then pure.
class RedactionRules {
public:
    RedactionRules() = default;
    // `kinds`: redactkind bits. `ownWords`: one entry per line; "/.../" is a
    // regular expression, anything else a word found without regard to case.
    RedactionRules(bool enabled, int kinds, const QString& ownWords);

    bool enabled() const { return m_enabled; }
    int kinds() const { return m_kinds; }
    // Entries of the own list that are not valid regular expressions (they
    // are left out; the text of an entry is never logged).
    int badEntries() const { return m_badEntries; }

    // Every match in `text`, sorted by start, overlapping ones merged.
    std::vector<TextMatch> find(const QString& text) const;
    bool matches(const QString& text) const { return !find(text).empty(); }

private:
    bool m_enabled = false;
    int m_kinds = 0;
    int m_badEntries = 0;
    QStringList m_words;
    std::vector<QRegularExpression> m_expressions;
};

// The own-word list as entries: one per line, blanks at the ends dropped,
// empty lines left out.
QStringList ownWordEntries(const QString& ownWords);
// Whether an entry is a regular expression, and if so whether it is valid.
bool isExpressionEntry(const QString& entry);
bool isValidEntry(const QString& entry);

// `text` with every match replaced by "●●●●" (always four, so the length of
// what was there does not show).
QString maskedText(const QString& text, const RedactionRules& rules);
inline const QString kMask = QStringLiteral("●●●●");

// The check digit rules of the two numbers.
bool luhnValid(const QString& digits);
bool individualNumberValid(const QString& twelveDigits);

} // namespace klavoro
