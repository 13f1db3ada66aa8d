#include "describe/phraseformat.h"

#include "store/settings.h"

namespace klavoro {

PhraseFormat phraseFormatOf(const Settings& s) {
    PhraseFormat f;
    f.noFormat = s.noFormat;
    f.noPeriod = s.noPeriod;
    f.noWide = s.noWide;
    f.noChar = s.noChar;
    f.dspPhrase[0] = s.dspPhrase0;
    f.dspPhrase[1] = s.dspPhrase1;
    f.dspPhrase[2] = s.dspPhrase3;
    f.dspPhrase[3] = s.dspPhrase4;
    f.phrase2 = s.phrase2;
    f.phrase5 = s.phrase5;
    f.phrase7 = s.phrase7;
    f.brackets[0] = s.brackets1;
    f.brackets[1] = s.brackets2;
    f.brackets[2] = s.brackets3;
    f.brackets[3] = s.brackets4;
    f.abbLeft = s.abbLeft;
    f.noShortcut = s.noShortcut;
    f.phraseKey0 = s.phraseKey0;
    f.phraseKey1 = s.phraseKey1;
    f.paragraph = s.paragraph;
    f.replacements = splitReplacements(s.replaceStr);
    return f;
}

void storePhraseFormat(const PhraseFormat& f, Settings& s) {
    s.noFormat = f.noFormat;
    s.noPeriod = f.noPeriod;
    s.noWide = f.noWide;
    s.noChar = f.noChar;
    s.dspPhrase0 = f.dspPhrase[0];
    s.dspPhrase1 = f.dspPhrase[1];
    s.dspPhrase3 = f.dspPhrase[2];
    s.dspPhrase4 = f.dspPhrase[3];
    s.phrase2 = f.phrase2;
    s.phrase5 = f.phrase5;
    s.phrase7 = f.phrase7;
    s.brackets1 = f.brackets[0];
    s.brackets2 = f.brackets[1];
    s.brackets3 = f.brackets[2];
    s.brackets4 = f.brackets[3];
    s.abbLeft = f.abbLeft;
    s.noShortcut = f.noShortcut;
    s.phraseKey0 = f.phraseKey0;
    s.phraseKey1 = f.phraseKey1;
    s.paragraph = f.paragraph;
    s.replaceStr = joinReplacements(f.replacements);
}

QStringList splitReplacements(const QString& replaceStr) {
    if (replaceStr.isEmpty()) return {};
    return replaceStr.split(QChar(1));
}

QString joinReplacements(const QStringList& entries) {
    return entries.join(QChar(1));
}

QString replacementEntry(const QString& search, const QString& replacement) {
    return search + '\t' + replacement;
}

void splitReplacementEntry(const QString& entry, QString* search, QString* replacement) {
    const qsizetype tab = entry.indexOf('\t');
    *search = tab < 0 ? entry : entry.left(tab);
    *replacement = tab < 0 ? QString() : entry.mid(tab + 1);
}

int rowAfterRemoval(int removedRow, int remaining) {
    if (remaining <= 0) return -1;
    return qBound(0, removedRow - 1, remaining - 1);
}

QString parentNameSample(bool noShortcut) {
    return noShortcut ? QStringLiteral("アイコンの整列") : QStringLiteral("アイコンの整列(I)");
}

QString parentRoleSample() {
    return QStringLiteral("ウィンドウ");
}

QString elementNameSample(bool noShortcut) {
    return noShortcut ? QStringLiteral("サイズ") : QStringLiteral("サイズ(S)");
}

QString elementRoleSample() {
    return QStringLiteral("メニュー項目");
}

QString verbSample(bool abbLeft) {
    return abbLeft ? QStringLiteral("クリック") : QStringLiteral("左クリック");
}

} // namespace klavoro
