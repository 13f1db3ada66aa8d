#include "describe/elementinfo.h"
#include "platform/accessibility.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(RoleWords, WordsAtBothEndsAndAroundTheGaps) {
    EXPECT_EQ(RoleWords(1), QStringLiteral("タイトルバー"));
    EXPECT_EQ(RoleWords(10), QStringLiteral("カスタム"));
    EXPECT_EQ(RoleWords(43), QStringLiteral("ボタン"));
    EXPECT_EQ(RoleWords(63), QStringLiteral("IPアドレス"));
    // Static and editable text share one word.
    EXPECT_EQ(RoleWords(41), QStringLiteral("テキスト"));
    EXPECT_EQ(RoleWords(42), QStringLiteral("テキスト"));
    EXPECT_EQ(RoleWords(0), QString());
    EXPECT_EQ(RoleWords(64), QString());
    EXPECT_EQ(RoleWords(-1), QString());
}

TEST(StateTexts, ReadingOrderIsNotBitOrder) {
    EXPECT_EQ(StateTexts(0x100004), QStringLiteral("フォーカスされています。フォーカス可。"));
    EXPECT_EQ(StateTexts(0x12), QStringLiteral("チェックされています。選択されています。"));
    EXPECT_EQ(StateTexts(0x8 | 0x2 | 0x1),
              QStringLiteral("利用不可。押されています。選択されています。"));
    EXPECT_EQ(StateTexts(0x40000 | 0x20000 | 0x400000),
              QStringLiteral("サイズ変更可。移動可。リンクされています。"));
}

TEST(StateTexts, BitsWithoutTextAddNothing) {
    EXPECT_EQ(StateTexts(0), QString());
    EXPECT_EQ(StateTexts(state::Mixed | state::Default | state::Protected | state::HasPopup),
              QString());
}

TEST(TextMag, ScalesAndRoundsHalvesToEven) {
    EXPECT_EQ(scaleByTextMag(100, 1.25), 125);
    EXPECT_EQ(scaleByTextMag(81, 1.25), 101); // 101.25
    EXPECT_EQ(scaleByTextMag(82, 1.25), 102); // 102.5 -> even
    EXPECT_EQ(scaleByTextMag(86, 1.25), 108); // 107.5 -> even
    EXPECT_EQ(scaleByTextMag(-82, 1.25), -102);
    EXPECT_EQ(scaleByTextMag(7, 1.0), 7);
}

TEST(TextMag, FactorStoredAsFloatStillRoundsTheTrueHalf) {
    // 110 % is 1.1f in the settings record, a hair above 1.1.
    EXPECT_EQ(scaleByTextMag(15, 1.1f), 16); // 16.5 -> even
    EXPECT_EQ(scaleByTextMag(25, 1.1f), 28); // 27.5 -> even
    EXPECT_EQ(scaleByTextMag(5, 1.5f), 8);   // 7.5 -> even
}
