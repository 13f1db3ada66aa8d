#pragma once

#include <QList>
#include <QString>

#include <vector>

namespace klavoro {

class StepList;

// A search text and how it is compared. Loose comparison ignores case and
// character width (full-width "ＯＫ" and half-width "ok" are the same, so are
// ｶﾞ and ガ); strict comparison takes the text exactly.
class TextMatcher {
public:
    TextMatcher(const QString& needle, bool strict);

    bool isEmpty() const { return m_needle.isEmpty(); }
    bool contains(const QString& text) const;
    // Every occurrence replaced, left to right, without overlaps.
    QString replaced(const QString& text, const QString& replacement, int* count = nullptr) const;

private:
    struct Folded {
        QString text;
        std::vector<qsizetype> start; // for each folded character, where its unit begins
        std::vector<qsizetype> end;   // and where it ends in the original text
    };
    // The positions are only needed to replace.
    static Folded fold(const QString& text, bool withPositions);
    // Start and length in `text` of the first match at or after `from`; -1 when none.
    qsizetype find(const QString& text, const Folded* folded, qsizetype from, qsizetype* len) const;

    QString m_needle;
    QString m_foldedNeedle;
    bool m_strict;
};

// What the search needs of the main window.
class StepSearchHost {
public:
    virtual ~StepSearchHost() = default;
    // Selects list line k (0-based) and makes it the current step.
    virtual void selectLine(int k) = 0;
    // Writes OpList.txt; false when it was not written.
    virtual bool saveList() = 0;
    // Step lines were rewritten in place (the detail fields may show one).
    virtual void linesChanged() {}
};

// Searching the step list and replacing text in the steps' sentences. The
// search position lives as long as the search window.
class StepSearch {
public:
    StepSearch(StepList& list, StepSearchHost& host);

    // From the line after the last hit on, the first step line that contains
    // `text` is selected and becomes the last hit. When none does, line 0 is
    // selected and the next search starts from the top again. Returns the hit
    // (0-based), or -1 when there was none.
    int findNext(const QString& text, bool strict);

    // 0-based indexes of every line that contains `text`.
    QList<int> findAll(const QString& text, bool strict) const;

    // When the last hit's sentence still contains `text`, replaces it there
    // and saves; then finds the next hit as findNext does. Returns the hit
    // that was replaced, or -1 when none was.
    int replaceAndFindNext(const QString& text, const QString& replacement, bool strict);

    // Replaces `text` in the sentence of every step and saves once. Returns
    // the 0-based indexes of the steps that changed.
    QList<int> replaceAll(const QString& text, const QString& replacement, bool strict);

    // Whether the last save that a replacement asked for failed.
    bool saveFailed() const { return m_saveFailed; }
    // The last hit (0-based), -1 before the first and after a search that
    // found nothing.
    int lastHit() const { return m_position; }

private:
    bool lineMatches(int index, const TextMatcher& m) const;
    // Replaces in step index's sentence; false when it does not contain the text.
    bool replaceInStep(int index, const TextMatcher& m, const QString& replacement);
    void save();

    StepList& m_list;
    StepSearchHost& m_host;
    int m_position = -1;
    bool m_saveFailed = false;
};

// A step line with `replacement` put for `m`'s text in the sentence (field 4),
// padded again as step lines are; the other six fields stay exactly as they
// were. Returns the line unchanged when the sentence does not contain the text.
QString lineWithSentenceReplaced(const QString& line, const TextMatcher& m,
                                 const QString& replacement, bool* changed = nullptr);

} // namespace klavoro
