#include "describe/texttransforms.h"
#include "store/settings.h"
#include "store/sjis.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {
const QString kDefaultReplace = Settings().replaceStr;
}

TEST(ReplaceWords, DefaultListDeletesTheFourWords) {
    EXPECT_EQ(replaceWords(QStringLiteral("ウィンドウ"), kDefaultReplace), QString());
    EXPECT_EQ(replaceWords(QStringLiteral("メニュー項目"), kDefaultReplace), QString());
    // "メニュー" alone is not in the list.
    EXPECT_EQ(replaceWords(QStringLiteral("メニュー"), kDefaultReplace),
              QStringLiteral("メニュー"));
    EXPECT_EQ(replaceWords(QStringLiteral("テキストボックスのテキスト"), kDefaultReplace),
              QStringLiteral("ボックスの"));
}

TEST(ReplaceWords, IgnoresCaseAndAppliesEntriesInOrder) {
    const QString list = QStringLiteral("ok\tはい\u0001はい\tYes");
    // The second entry sees the result of the first.
    EXPECT_EQ(replaceWords(QStringLiteral("OK"), list), QStringLiteral("Yes"));
    EXPECT_EQ(replaceWords(QStringLiteral("Ok ok"), QStringLiteral("OK\tX")),
              QStringLiteral("X X"));
}

TEST(ReplaceWords, EmptySearchAndMissingTab) {
    EXPECT_EQ(replaceWords(QStringLiteral("abc"), QStringLiteral("\tX")), QStringLiteral("abc"));
    EXPECT_EQ(replaceWords(QStringLiteral("abc"), QString()), QStringLiteral("abc"));
    EXPECT_EQ(replaceWords(QStringLiteral("abcb"), QStringLiteral("b")), QStringLiteral("ac"));
}

TEST(StripShortcut, MenuDecorations) {
    EXPECT_EQ(stripShortcut(QStringLiteral("開く(O)...")), QStringLiteral("開く"));
    EXPECT_EQ(stripShortcut(QStringLiteral("ファイル(F)")), QStringLiteral("ファイル"));
    EXPECT_EQ(stripShortcut(QStringLiteral("印刷(p)")), QStringLiteral("印刷"));
    EXPECT_EQ(stripShortcut(QStringLiteral("保存...")), QStringLiteral("保存..."));
    EXPECT_EQ(stripShortcut(QStringLiteral("設定(1)")), QStringLiteral("設定(1)"));
    EXPECT_EQ(stripShortcut(QStringLiteral("  名前を付けて保存(A)\tCtrl+Shift+S")),
              QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(stripShortcut(QStringLiteral("閉じる (C) ")), QStringLiteral("閉じる"));
    // A caption's mark before its colon, half or full width.
    EXPECT_EQ(stripShortcut(QStringLiteral("名前(N):")), QStringLiteral("名前"));
    EXPECT_EQ(stripShortcut(QStringLiteral("幅(W)：")), QStringLiteral("幅"));
    EXPECT_EQ(stripShortcut(QStringLiteral("比率(1):")), QStringLiteral("比率(1)"));
    EXPECT_EQ(stripShortcut(QStringLiteral("時刻:")), QStringLiteral("時刻:"));
}

TEST(StripShortcut, OnlyAsciiParenthesesAndOneLetter) {
    EXPECT_EQ(stripShortcut(QStringLiteral("開く（O）")), QStringLiteral("開く（O）"));
    EXPECT_EQ(stripShortcut(QStringLiteral("表示(VW)")), QStringLiteral("表示(VW)"));
    EXPECT_EQ(stripShortcut(QStringLiteral("(F)")), QString());
    EXPECT_EQ(stripShortcut(QStringLiteral("F)")), QStringLiteral("F)"));
}

TEST(CollapseBlanks, MixedRunsKeepTheirFirstBlank) {
    EXPECT_EQ(collapseBlanks(QStringLiteral("a \u3000 b")), QStringLiteral("a b"));
    EXPECT_EQ(collapseBlanks(QStringLiteral("a\u3000 b")), QStringLiteral("a\u3000b"));
    EXPECT_EQ(collapseBlanks(QStringLiteral("\ta\t\tb ")), QStringLiteral("a b"));
}

TEST(TruncateToWidth, BelowTheWidthIsKept) {
    const QString s29(29, u'a');
    EXPECT_EQ(truncateToWidth(s29, 30), s29);
    EXPECT_EQ(truncateToWidth(QString(), 30), QString());
}

TEST(TruncateToWidth, ExactWidthIsShortened) {
    const QString s30(30, u'a');
    EXPECT_EQ(truncateToWidth(s30, 30), QString(26, u'a') + QStringLiteral("..."));
    // Fifteen full-width characters are width 30.
    const QString wide(15, QChar(0x3042));
    EXPECT_EQ(truncateToWidth(wide, 30), QString(11, QChar(0x3042)) + QStringLiteral("..."));
}

TEST(TruncateToWidth, FullWidthNameCutAtForty) {
    const QString name(30, QChar(0x3042)); // width 60
    const QString cut = truncateToWidth(name, 40);
    EXPECT_EQ(cut, QString(16, QChar(0x3042)) + QStringLiteral("..."));
}

TEST(TruncateToWidth, WidthReachedInsideAWideCharacter) {
    // 39 ASCII then a wide character: width 41 reaches 40 at character 40.
    const QString s = QString(39, u'a') + QChar(0x3042) + QStringLiteral("zz");
    EXPECT_EQ(truncateToWidth(s, 40), QString(36, u'a') + QStringLiteral("..."));
    // Half-width katakana count 1.
    const QString kana(40, QChar(0xFF71));
    EXPECT_EQ(halfWidthLength(kana), 40);
    EXPECT_EQ(truncateToWidth(kana, 40), QString(36, QChar(0xFF71)) + QStringLiteral("..."));
}

TEST(TruncateToWidth, NeverSplitsASurrogatePair) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units
    QString s;
    for (int i = 0; i < 45; ++i)
        s += emoji;
    const QString cut = truncateToWidth(s, 40);
    ASSERT_TRUE(cut.endsWith(QStringLiteral("...")));
    const QString kept = cut.chopped(3);
    EXPECT_EQ(kept.size() % 2, 0);
    EXPECT_FALSE(kept.isEmpty() || kept.back().isHighSurrogate());
}

TEST(Bracket, OneTwoOrNoCharacters) {
    EXPECT_EQ(bracket(QStringLiteral("OK"), QStringLiteral("[]")), QStringLiteral("[OK]"));
    EXPECT_EQ(bracket(QStringLiteral("OK"), QStringLiteral("【")), QStringLiteral("【OK"));
    EXPECT_EQ(bracket(QStringLiteral("OK"), QString()), QStringLiteral("OK"));
    EXPECT_EQ(bracket(QStringLiteral("OK"), QStringLiteral("「」x")), QStringLiteral("「OK」"));
}
