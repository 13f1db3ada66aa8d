#include "redact/boxes.h"
#include "redact/patterns.h"
#include "store/conftext.h"
#include "store/settings.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

RedactionRules allRules(const QString& own = QString()) {
    return RedactionRules(true, redactkind::All, own);
}

// The matched texts, in order.
QStringList hits(const QString& text, const RedactionRules& rules = allRules()) {
    QStringList out;
    for (const TextMatch& m : rules.find(text))
        out << text.mid(m.start, m.length);
    return out;
}

} // namespace

TEST(RedactionPatterns, MailAddressesInText) {
    EXPECT_EQ(hits(QStringLiteral("連絡先: taro.yamada+x@example.co.jp まで")),
              QStringList{QStringLiteral("taro.yamada+x@example.co.jp")});
    EXPECT_EQ(hits(QStringLiteral("ｔａｒｏ＠ｅｘａｍｐｌｅ．ｊｐ")).size(), 1);
    // Near misses: no dot in the domain, a handle, a bare domain, a one-letter top level.
    EXPECT_TRUE(hits(QStringLiteral("root@localhost")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("@yamada さん")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("example.co.jp")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("a@b.c")).isEmpty());
}

TEST(RedactionPatterns, JapanesePhoneNumbers) {
    EXPECT_EQ(hits(QStringLiteral("携帯 090-1234-5678 です")),
              QStringList{QStringLiteral("090-1234-5678")});
    EXPECT_EQ(hits(QStringLiteral("03-1234-5678")), QStringList{QStringLiteral("03-1234-5678")});
    EXPECT_EQ(hits(QStringLiteral("(03) 1234-5678")),
              QStringList{QStringLiteral("(03) 1234-5678")});
    EXPECT_EQ(hits(QStringLiteral("0120-123-456")), QStringList{QStringLiteral("0120-123-456")});
    EXPECT_EQ(hits(QStringLiteral("Tel:+81-90-1234-5678")),
              QStringList{QStringLiteral("+81-90-1234-5678")});
    EXPECT_EQ(hits(QStringLiteral("+81 3 1234 5678")),
              QStringList{QStringLiteral("+81 3 1234 5678")});
    EXPECT_EQ(hits(QStringLiteral("+81(0)3-1234-5678")).size(), 1);
    EXPECT_EQ(hits(QStringLiteral("０９０－１２３４－５６７８")).size(), 1);
    EXPECT_EQ(hits(QStringLiteral("09012345678")).size(), 1);
}

TEST(RedactionPatterns, NumbersThatAreNotPhones) {
    for (const char* text :
         {"2026-12-08", "03-1234", "090-1234-567", "01-02-2026", "v0.12.3", "ID 0312345678901235",
          "+1 212 555 0100", "x090-1234-5678", "090-1234-5678x", "+44 3 1234 5678"})
        EXPECT_TRUE(hits(QString::fromUtf8(text)).isEmpty()) << text;
}

TEST(RedactionPatterns, CardNumbersNeedLuhn) {
    EXPECT_EQ(hits(QStringLiteral("4111 1111 1111 1111")),
              QStringList{QStringLiteral("4111 1111 1111 1111")});
    EXPECT_EQ(hits(QStringLiteral("番号:5500-0000-0000-0004。")),
              QStringList{QStringLiteral("5500-0000-0000-0004")});
    EXPECT_EQ(hits(QStringLiteral("378282246310005")).size(), 1);  // 15 digits
    EXPECT_EQ(hits(QStringLiteral("4222222222222")).size(), 1);    // 13 digits
    EXPECT_EQ(hits(QStringLiteral("6011000990139424")).size(), 1); // 16 digits
    // A year after the number does not hide it.
    EXPECT_EQ(hits(QStringLiteral("4111 1111 1111 1111 2026")),
              QStringList{QStringLiteral("4111 1111 1111 1111")});
    // Luhn fails by one digit; too short; too long; glued to letters; double separators.
    EXPECT_TRUE(hits(QStringLiteral("4111 1111 1111 1112")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("411111111112")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("41111111111111111111")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("SKU4111111111111111")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("4111--1111--1111--1111")).isEmpty());
    EXPECT_TRUE(luhnValid(QStringLiteral("79927398713")));
    EXPECT_FALSE(luhnValid(QStringLiteral("79927398710")));
    EXPECT_FALSE(luhnValid(QStringLiteral("7992a398713")));
}

TEST(RedactionPatterns, IndividualNumberCheckDigit) {
    EXPECT_TRUE(individualNumberValid(QStringLiteral("123456789018")));
    EXPECT_FALSE(individualNumberValid(QStringLiteral("123456789017")));
    // Remainder 0 or 1 gives check digit 0.
    EXPECT_TRUE(individualNumberValid(QStringLiteral("000000000000")));
    EXPECT_FALSE(individualNumberValid(QStringLiteral("12345678901")));
    EXPECT_EQ(hits(QStringLiteral("個人番号 1234 5678 9018")),
              QStringList{QStringLiteral("1234 5678 9018")});
    EXPECT_EQ(hits(QStringLiteral("1234-5678-9018")).size(), 1);
    EXPECT_TRUE(hits(QStringLiteral("1234 5678 9017")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("1234567890180")).isEmpty());
    EXPECT_TRUE(hits(QStringLiteral("1234 5678 9018 7")).isEmpty());
}

TEST(RedactionPatterns, KindsCanBeSwitchedOff) {
    const QString text = QStringLiteral("a@example.jp 090-1234-5678 4111111111111111 123456789018");
    EXPECT_EQ(hits(text).size(), 4);
    EXPECT_EQ(hits(text, RedactionRules(true, redactkind::Phone, {})),
              QStringList{QStringLiteral("090-1234-5678")});
    EXPECT_TRUE(hits(text, RedactionRules(false, redactkind::All, {})).isEmpty());
}

TEST(RedactionPatterns, OwnWordsAndExpressions) {
    const RedactionRules rules =
        allRules(QStringLiteral("山田太郎\r\n  acme  \n/K-[0-9]{4}/\n/(unclosed/\n\n/a*/"));
    EXPECT_EQ(rules.badEntries(), 1);
    EXPECT_EQ(hits(QStringLiteral("顧客: 山田太郎 (ACME) 伝票 k-1234"), rules),
              (QStringList{QStringLiteral("山田太郎"), QStringLiteral("ACME"),
                           QStringLiteral("k-1234")}));
    // An expression that matches the empty text boxes only what it really matched.
    EXPECT_EQ(hits(QStringLiteral("baab"), rules), QStringList{QStringLiteral("aa")});
    EXPECT_TRUE(isValidEntry(QStringLiteral("/x+/")));
    EXPECT_FALSE(isValidEntry(QStringLiteral("/[/")));
    EXPECT_EQ(ownWordEntries(QStringLiteral("a\u0001 b \u0001\u0001c")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST(RedactionPatterns, HostileInputEnds) {
    // Long runs that tempt backtracking, and an expression that would run away.
    QString dots = QString(20000, u'a') + QString(20000, u'.');
    EXPECT_TRUE(hits(dots).isEmpty());
    QString digits;
    for (int i = 0; i < 5000; ++i)
        digits += QStringLiteral("1 ");
    EXPECT_TRUE(hits(digits).isEmpty());
    // Nested repetition: the expression library's match limit ends it.
    const RedactionRules runaway = allRules(QStringLiteral("/(a+)+$/"));
    EXPECT_TRUE(hits(QString(30, u'a') + u'b', runaway).size() <= 1);
}

TEST(RedactionMask, TypedTextInTheSentence) {
    const RedactionRules rules = allRules(QStringLiteral("山田"));
    EXPECT_EQ(maskedText(QStringLiteral("\"taro@example.jp\"を入力します。"), rules),
              QStringLiteral("\"●●●●\"を入力します。"));
    EXPECT_EQ(maskedText(QStringLiteral("山田様 090-1234-5678"), rules),
              QStringLiteral("●●●●様 ●●●●"));
    EXPECT_EQ(maskedText(QStringLiteral("[OK](ボタン)を、クリックします。"), rules),
              QStringLiteral("[OK](ボタン)を、クリックします。"));
}

TEST(RedactionBoxes, OpaqueBoxesOverMatchesAndPasswords) {
    QImage image(100, 60, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30, 128));
    const std::vector<ScreenText> items{
        {QRect(1010, 2010, 20, 10), QStringLiteral("a@example.jp"), false},
        {QRect(1050, 2010, 20, 10), QStringLiteral("visible"), true},
        {QRect(1010, 2040, 20, 10), QStringLiteral("送信"), false},
        {QRect(5000, 5000, 20, 10), QStringLiteral("b@example.jp"), false}, // outside
    };
    const QColor red(255, 0, 0);
    EXPECT_EQ(paintRedactionBoxes(image, QPoint(1000, 2000), items, allRules(), red), 2);
    for (const QPoint p : {QPoint(8, 8), QPoint(31, 21), QPoint(48, 8), QPoint(71, 21)})
        EXPECT_EQ(image.pixel(p), qRgba(255, 0, 0, 255)) << p.x() << "," << p.y();
    EXPECT_EQ(image.pixelColor(15, 45).green(), 200); // the caption stays
    EXPECT_EQ(image.pixelColor(7, 7).green(), 200);   // just outside the margin

    QImage off(10, 10, QImage::Format_RGB32);
    off.fill(Qt::white);
    EXPECT_EQ(paintRedactionBoxes(off, QPoint(), items, RedactionRules(), red), 0);
    paintSolidBox(off, QRect(-5, -5, 8, 8), Qt::black); // clipped, no crash
    EXPECT_EQ(off.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(off.pixel(3, 3), qRgb(255, 255, 255));
}

TEST(RedactionBoxes, RulesAndColourFromSettings) {
    Settings s;
    EXPECT_TRUE(redactionRulesOf(s).enabled());
    EXPECT_EQ(redactionRulesOf(s).kinds(), redactkind::All);
    s.redactColor = 0x0000FF; // B,G,R: red
    EXPECT_EQ(redactionColourOf(s), QColor(255, 0, 0));
    s.redact = 0;
    EXPECT_FALSE(redactionRulesOf(s).matches(QStringLiteral("a@example.jp")));
}

TEST(RedactionSettings, ConfKeysReadBackAndOldFilesKeepDefaults) {
    const WindowRect window{1400, 650, 1900, 1050};
    // A file from before the keys existed: redaction is on, every kind, black.
    const ConfText old =
        parseConfText(QStringLiteral("disp menu = 1\r\nwait time ap active = 2000\r\n"), window);
    EXPECT_EQ(old.settings.redact, 1);
    EXPECT_EQ(old.settings.redactPatterns, redactkind::All);
    EXPECT_EQ(old.settings.redactColor, 0);
    EXPECT_TRUE(old.settings.redactWords.isEmpty());

    Settings s;
    s.redact = 0;
    s.redactPatterns = redactkind::Mail | redactkind::Card;
    s.redactColor = 0x00FF00;
    s.redactWords = QStringLiteral("山田太郎\u0001/K-[0-9]{4}/");
    const QString text = confFileText(s, window, QStringLiteral("klavoro"));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nredact color = 0xFF00 ")));
    const ConfText back = parseConfText(text, window);
    EXPECT_EQ(back.settings.redact, 0);
    EXPECT_EQ(back.settings.redactPatterns, s.redactPatterns);
    EXPECT_EQ(back.settings.redactColor, s.redactColor);
    EXPECT_EQ(back.settings.redactWords, s.redactWords);
    EXPECT_EQ(ownWordEntries(back.settings.redactWords).size(), 2);
}
