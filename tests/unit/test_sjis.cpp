#include "store/sjis.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(ShiftJis, BackslashTildeAndKanaKeepTheirCodePage932Bytes) {
    EXPECT_EQ(toShiftJis(QStringLiteral("\\~")), QByteArray("\x5C\x7E"));
    EXPECT_EQ(toShiftJis(QStringLiteral("ｱ")), QByteArray("\xB1"));
    EXPECT_EQ(toShiftJis(QStringLiteral("最終行")), QByteArray("\x8D\xC5\x8F\x49\x8D\x73"));
    EXPECT_EQ(toShiftJis(QStringLiteral("〆")), QByteArray("\x81\x59"));
    EXPECT_EQ(fromShiftJis(QByteArray("\x81\x59\x5C")), QStringLiteral("〆\\"));
}

TEST(ShiftJis, MicrosoftExtensionsRoundTrip) {
    // NEC row 13 and the IBM extensions exist only in code page 932.
    const QString text = QStringLiteral("①Ⅹ㈱～∥－￢");
    EXPECT_EQ(fromShiftJis(toShiftJis(text)), text);
    EXPECT_EQ(toShiftJis(QStringLiteral("①")), QByteArray("\x87\x40"));
    EXPECT_EQ(toShiftJis(QStringLiteral("～")), QByteArray("\x81\x60"));
}

TEST(ShiftJis, UnrepresentableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(toShiftJis(QStringLiteral("a\u00e9b")), QByteArray("a?b"));
    EXPECT_EQ(toShiftJis(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y")); // emoji
    EXPECT_EQ(halfWidthLength(QString::fromUtf8("x\xF0\x9F\x98\x80y")), 3);
}

TEST(ShiftJis, BrokenBytesDecodeWithoutLosingTheRest) {
    // A lone lead byte at the end and an undefined double-byte code.
    const QString s = fromShiftJis(QByteArray("ab\x82", 3));
    EXPECT_EQ(s.left(2), QStringLiteral("ab"));
    EXPECT_EQ(s.size(), 3);
    EXPECT_EQ(fromShiftJis(QByteArray("\x85\x40z")).right(1), QStringLiteral("z"));
}

TEST(HalfWidth, CountsShiftJisBytes) {
    EXPECT_EQ(halfWidthLength(QString()), 0);
    EXPECT_EQ(halfWidthLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(halfWidthLength(QStringLiteral("クリック")), 8);
    EXPECT_EQ(halfWidthLength(QStringLiteral("ｸﾘｯｸ")), 4);
    EXPECT_EQ(padToHalfWidth(QStringLiteral("あ"), 5), QStringLiteral("あ   "));
    EXPECT_EQ(padToHalfWidth(QStringLiteral("abcdef"), 5), QStringLiteral("abcdef"));
}

TEST(Charsets, LabelsAndDecoding) {
    Charset c;
    EXPECT_TRUE(charsetFromLabel(QStringLiteral("shift-jis"), &c));
    EXPECT_EQ(c, Charset::ShiftJis);
    EXPECT_TRUE(charsetFromLabel(QStringLiteral("unicode"), &c));
    EXPECT_EQ(c, Charset::Unicode);
    EXPECT_FALSE(charsetFromLabel(QStringLiteral("latin1"), &c));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF\xE3\x81\x82"), Charset::Utf8),
              QStringLiteral("あ"));
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFE\x42\x30", 4), Charset::Unicode),
              QStringLiteral("あ"));
    // UTF-8 read as Shift-JIS: garbled, but no error.
    EXPECT_NE(decodeText(QByteArray("\xE3\x81\x82"), Charset::ShiftJis), QStringLiteral("あ"));
}
