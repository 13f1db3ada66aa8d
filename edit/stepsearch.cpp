#include "edit/stepsearch.h"

#include "store/events.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QStringList>

#include <algorithm>

namespace klavoro {

namespace {

bool isHalfWidthKana(char16_t c) {
    return c >= 0xFF61 && c <= 0xFF9F;
}

} // namespace

TextMatcher::TextMatcher(const QString& needle, bool strict)
    : m_needle(needle), m_foldedNeedle(strict ? QString() : fold(needle, false).text),
      m_strict(strict) {}

TextMatcher::Folded TextMatcher::fold(const QString& text, bool withPositions) {
    const qsizetype n = text.size();
    Folded f;
    // Folding never lengthens the text: write in place, cut at the end.
    f.text.resize(n);
    char16_t* out = reinterpret_cast<char16_t*>(f.text.data());
    qsizetype len = 0;
    if (withPositions) {
        f.start.reserve(n);
        f.end.reserve(n);
    }
    auto put = [&](char16_t c, qsizetype from, qsizetype to) {
        out[len++] = c;
        if (!withPositions) return;
        f.start.push_back(from);
        f.end.push_back(to);
    };
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n;) {
        const char16_t c = in[i];
        if (c < 0x80) {
            put(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c, i, i + 1);
            ++i;
            continue;
        }
        if (isHalfWidthKana(c)) {
            // A voiced mark joins the kana before it (ｶﾞ is ガ).
            if (i + 1 < n && (in[i + 1] == u'\uFF9E' || in[i + 1] == u'\uFF9F')) {
                const QString pair = text.mid(i, 2).normalized(QString::NormalizationForm_KC);
                if (pair.size() == 1) {
                    put(pair.at(0).unicode(), i, i + 2);
                    i += 2;
                    continue;
                }
            }
            const QString one = text.mid(i, 1).normalized(QString::NormalizationForm_KC);
            put(one.size() == 1 ? one.at(0).unicode() : c, i, i + 1);
            ++i;
            continue;
        }
        QChar folded(c);
        if (c >= 0xFF01 && c <= 0xFF5E)
            folded = QChar(char16_t(c - 0xFEE0)); // full-width ASCII
        else if (c == 0x3000)
            folded = QChar(u' ');
        put(folded.toCaseFolded().unicode(), i, i + 1);
        ++i;
    }
    f.text.truncate(len);
    return f;
}

qsizetype TextMatcher::find(const QString& text, const Folded* folded, qsizetype from,
                            qsizetype* len) const {
    if (m_needle.isEmpty()) return -1;
    if (m_strict) {
        *len = m_needle.size();
        return text.indexOf(m_needle, from, Qt::CaseSensitive);
    }
    // The first folded character whose unit starts at or after `from`.
    const qsizetype k =
        std::lower_bound(folded->start.begin(), folded->start.end(), from) - folded->start.begin();
    const qsizetype at = folded->text.indexOf(m_foldedNeedle, k, Qt::CaseSensitive);
    if (at < 0) return -1;
    const qsizetype last = at + m_foldedNeedle.size() - 1;
    *len = folded->end[last] - folded->start[at];
    return folded->start[at];
}

bool TextMatcher::contains(const QString& text) const {
    if (m_needle.isEmpty()) return false;
    if (m_strict) return text.contains(m_needle, Qt::CaseSensitive);
    return fold(text, false).text.contains(m_foldedNeedle, Qt::CaseSensitive);
}

QString TextMatcher::replaced(const QString& text, const QString& replacement, int* count) const {
    int n = 0;
    QString out;
    const Folded folded = m_strict ? Folded() : fold(text, true);
    qsizetype pos = 0, len = 0;
    for (qsizetype at; (at = find(text, &folded, pos, &len)) >= 0 && len > 0;) {
        out += QStringView(text).mid(pos, at - pos);
        out += replacement;
        pos = at + len;
        ++n;
    }
    if (count) *count = n;
    if (n == 0) return text;
    out += QStringView(text).mid(pos);
    return out;
}

QString lineWithSentenceReplaced(const QString& line, const TextMatcher& m,
                                 const QString& replacement, bool* changed) {
    if (changed) *changed = false;
    const QStringList fields = line.split(u'\t');
    if (fields.size() <= FieldMessage) return line;
    // The padding is no part of the sentence: a match must not reach into it,
    // and the new sentence is padded afresh.
    QString sentence = fields.at(FieldMessage);
    qsizetype end = sentence.size();
    while (end > 0 && sentence.at(end - 1) == u' ')
        --end;
    sentence.truncate(end);
    int count = 0;
    // The replacement is made storable first, so that its padding is right.
    const QString result = m.replaced(sentence, storableFieldText(replacement), &count);
    if (count == 0) return line;
    if (changed) *changed = true;
    return withLineField(line, FieldMessage, padToHalfWidth(result, 100));
}

StepSearch::StepSearch(StepList& list, StepSearchHost& host) : m_list(list), m_host(host) {}

bool StepSearch::lineMatches(int index, const TextMatcher& m) const {
    return m.contains(m_list.line(index + 1));
}

int StepSearch::findNext(const QString& text, bool strict) {
    const TextMatcher m(text, strict);
    if (m.isEmpty()) return -1;
    const int count = m_list.count();
    for (int i = std::max(m_position + 1, 0); i < count; ++i) {
        if (lineMatches(i, m)) {
            m_position = i;
            m_host.selectLine(i);
            return i;
        }
    }
    // Past the last hit: back to the top, and the next search starts there,
    // so a hit on the first line is found too.
    m_position = -1;
    if (count > 0) m_host.selectLine(0);
    return -1;
}

QList<int> StepSearch::findAll(const QString& text, bool strict) const {
    const TextMatcher m(text, strict);
    QList<int> hits;
    if (m.isEmpty()) return hits;
    for (int i = 0; i < m_list.count(); ++i)
        if (lineMatches(i, m)) hits.append(i);
    return hits;
}

bool StepSearch::replaceInStep(int index, const TextMatcher& m, const QString& replacement) {
    const QString old = m_list.line(index + 1);
    bool changed = false;
    const QString updated = lineWithSentenceReplaced(old, m, replacement, &changed);
    if (!changed) return false;
    m_list.setLine(index + 1, updated);
    return true;
}

void StepSearch::save() {
    m_saveFailed = !m_host.saveList();
}

int StepSearch::replaceAndFindNext(const QString& text, const QString& replacement, bool strict) {
    const TextMatcher m(text, strict);
    if (m.isEmpty()) return -1;
    int replaced = -1;
    // Only the hit the user is looking at: the main window may have moved the
    // selection or changed the list since the search.
    if (m_position >= 0 && m_list.selectedStep() == m_position + 1 &&
        replaceInStep(m_position, m, replacement)) {
        replaced = m_position;
        save();
        m_host.linesChanged();
    }
    findNext(text, strict);
    return replaced;
}

QList<int> StepSearch::replaceAll(const QString& text, const QString& replacement, bool strict) {
    LongOperation replacing;
    const TextMatcher m(text, strict);
    QList<int> changed;
    if (m.isEmpty()) return changed;
    for (int i = 0; i < m_list.count(); ++i)
        if (replaceInStep(i, m, replacement)) changed.append(i);
    if (!changed.isEmpty()) {
        save();
        m_host.linesChanged();
    }
    return changed;
}

} // namespace klavoro
