#include "describe/phraseformat.h"
#include "store/settings.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(PhraseFormat, SettingsRoundTripThroughTheDialogValues) {
    Settings s;
    s.noFormat = 0;
    s.noPeriod = 1;
    s.noWide = 1;
    s.noChar = QStringLiteral("◆");
    s.dspPhrase0 = 0;
    s.dspPhrase4 = 2;
    s.phrase5 = QStringLiteral("を");
    s.brackets3 = QStringLiteral("「」");
    s.abbLeft = 0;
    s.noShortcut = 0;
    s.phraseKey1 = QStringLiteral("と入力します。");
    s.paragraph = 9;
    s.replaceStr = QStringLiteral("a\tb\u0001c");
    const PhraseFormat f = phraseFormatOf(s);
    EXPECT_EQ(f.dspPhrase[3], 2);
    EXPECT_EQ(f.brackets[2], QStringLiteral("「」"));
    EXPECT_EQ(f.replacements, (QStringList{"a\tb", "c"}));
    Settings back;
    storePhraseFormat(f, back);
    EXPECT_TRUE(back == s);
}

TEST(PhraseFormat, ReplacementEntries) {
    EXPECT_TRUE(splitReplacements(QString()).isEmpty()); // no entry, not one empty entry
    EXPECT_EQ(joinReplacements({}), QString());
    EXPECT_EQ(splitReplacements(QStringLiteral("x\t\u0001\u0001y")), (QStringList{"x\t", "", "y"}));
    EXPECT_EQ(replacementEntry("OK", ""), "OK\t");
    QString search, replacement;
    splitReplacementEntry(QStringLiteral("テキスト"), &search, &replacement);
    EXPECT_EQ(search, QStringLiteral("テキスト"));
    EXPECT_EQ(replacement, QString());
    splitReplacementEntry("a\tb\tc", &search, &replacement); // the first TAB splits
    EXPECT_EQ(search, "a");
    EXPECT_EQ(replacement, "b\tc");
}

TEST(PhraseFormat, SelectionAfterRemovalAndSamples) {
    EXPECT_EQ(rowAfterRemoval(3, 4), 2);
    EXPECT_EQ(rowAfterRemoval(0, 3), 0);
    EXPECT_EQ(rowAfterRemoval(0, 0), -1);
    EXPECT_EQ(rowAfterRemoval(4, 4), 3); // the last one removed
    EXPECT_EQ(parentNameSample(false), QStringLiteral("アイコンの整列(I)"));
    EXPECT_EQ(elementNameSample(true), QStringLiteral("サイズ"));
    EXPECT_EQ(verbSample(false), QStringLiteral("左クリック"));
}
