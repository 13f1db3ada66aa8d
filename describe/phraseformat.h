#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

struct Settings;

// What the phrase-format dialog edits, taken from the settings and stored
// back only when the user confirms.
struct PhraseFormat {
    qint32 noFormat = 3;
    qint32 noPeriod = 0;
    qint32 noWide = 0;
    QString noChar;
    qint32 dspPhrase[4] = {1, 1, 1, 1}; // dsp phrase0, 1, 3, 4
    QString phrase2, phrase5, phrase7;
    QString brackets[4];
    qint32 abbLeft = 1;
    qint32 noShortcut = 1;
    QString phraseKey0, phraseKey1;
    qint32 paragraph = 4;
    QStringList replacements; // each "search" TAB "replacement"

    bool operator==(const PhraseFormat&) const = default;
};

PhraseFormat phraseFormatOf(const Settings& settings);
void storePhraseFormat(const PhraseFormat& format, Settings& settings);

// `replace str` as list entries (split at code 1; the empty text is no entry)
// and back.
QStringList splitReplacements(const QString& replaceStr);
QString joinReplacements(const QStringList& entries);

// One entry: the search text, a TAB and the replacement (possibly empty).
QString replacementEntry(const QString& search, const QString& replacement);
// An entry split at its first TAB; no TAB gives an empty replacement.
void splitReplacementEntry(const QString& entry, QString* search, QString* replacement);

// The row to select after `removedRow` was deleted and `remaining` entries are
// left: the one before it, the new first one, or -1 for an empty list.
int rowAfterRemoval(int removedRow, int remaining);

// The preview samples of the sentence parts.
QString parentNameSample(bool noShortcut);  // アイコンの整列(I)
QString parentRoleSample();                 // ウィンドウ
QString elementNameSample(bool noShortcut); // サイズ(S)
QString elementRoleSample();                // メニュー項目
QString verbSample(bool abbLeft);           // クリック / 左クリック

} // namespace klavoro
