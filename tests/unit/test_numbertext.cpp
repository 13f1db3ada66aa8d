#include "export/numbertext.h"
#include "store/settings.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(NumberText, EveryFormatWithAndWithoutPeriod) {
    Settings s;
    struct Case {
        int format, period, number;
        QString expected;
    };
    const Case cases[] = {
        {3, 0, 1, "001 "},     {3, 1, 1, "001. "},
        {3, 0, 1234, "1234 "}, {2, 0, 7, "  7 "},
        {2, 1, 42, " 42. "},   {1, 0, 7, "7 "},
        {1, 1, 120, "120. "},  {0, 1, 5, QStringLiteral("■ ")},
    };
    for (const Case& c : cases) {
        s.noFormat = c.format;
        s.noPeriod = c.period;
        EXPECT_EQ(stepNumberText(c.number, s), c.expected) << c.format << ' ' << c.period;
    }
    s.noFormat = 0;
    s.noChar = QStringLiteral("◆");
    EXPECT_EQ(stepNumberText(3, s), QStringLiteral("◆"));
}

TEST(NumberText, FullWidthNumbersAndSymbols) {
    Settings s;
    s.noWide = 1;
    s.noPeriod = 1;
    EXPECT_EQ(stepNumberText(12, s), QStringLiteral("０１２．　"));
    s.noFormat = 2;
    EXPECT_EQ(stepNumberText(5, s), QStringLiteral("　　５．　"));
    s.noFormat = 0;
    s.noChar = QStringLiteral("* ■");
    EXPECT_EQ(stepNumberText(5, s), QStringLiteral("＊　■"));
    EXPECT_EQ(toFullWidth(QStringLiteral("~!A z")), QStringLiteral("～！Ａ　ｚ"));
}
