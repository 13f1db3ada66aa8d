#include "store/conftext.h"
#include "store/confvalue.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {
const WindowRect kWindowDefaults{1400, 650, 1900, 1050};

ConfText read(const QString& text) {
    return parseConfText(text, kWindowDefaults);
}
ConfText readLines(const QStringList& lines) {
    return read(lines.join(QStringLiteral("\r\n")));
}

double leading(const QString& s) {
    double v = -999;
    EXPECT_TRUE(leadingNumber(s, &v)) << qPrintable(s);
    return v;
}
} // namespace

TEST(ConfNumbers, LeadingNumberTakesTheLongestNumberAtTheStart) {
    EXPECT_EQ(leading(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(leading(QStringLiteral("-7 ")), -7);
    EXPECT_EQ(leading(QStringLiteral("1.5e2x")), 150);
    EXPECT_EQ(leading(QStringLiteral("2D1")), 20);
    EXPECT_EQ(leading(QStringLiteral("3e")), 3); // an exponent needs digits
    EXPECT_EQ(leading(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(leading(QStringLiteral("abc")), 0);
    EXPECT_EQ(leading(QString()), 0);
    EXPECT_EQ(leading(QStringLiteral("&H808000")), 8421376);
    EXPECT_EQ(leading(QStringLiteral("&hff zz")), 255);
    EXPECT_EQ(leading(QStringLiteral("&HFFFFFFFF")), -1);
    EXPECT_EQ(leading(QStringLiteral("&H00000000010")), 16); // leading zeros do not count
    EXPECT_EQ(leading(QStringLiteral("1e-400")), 0);
    EXPECT_EQ(leading(QStringLiteral("0.") + QString(400, '0') + '1'), 0);
    double v;
    EXPECT_FALSE(leadingNumber(QStringLiteral("&H123456789"), &v));
    EXPECT_FALSE(leadingNumber(QStringLiteral("1e400"), &v));
    EXPECT_FALSE(leadingNumber(QString(400, '9'), &v));
}

TEST(ConfNumbers, WholeNumberRefusesAnythingButOneNumber) {
    double v = 0;
    EXPECT_TRUE(wholeNumber(QStringLiteral("  -3  "), &v));
    EXPECT_EQ(v, -3);
    EXPECT_TRUE(wholeNumber(QStringLiteral("&h10"), &v));
    EXPECT_EQ(v, 16);
    EXPECT_FALSE(wholeNumber(QString(), &v));
    EXPECT_FALSE(wholeNumber(QStringLiteral("   "), &v));
    EXPECT_FALSE(wholeNumber(QStringLiteral("3x"), &v));
    EXPECT_FALSE(wholeNumber(QStringLiteral("fast"), &v));
    EXPECT_FALSE(wholeNumber(QStringLiteral("&h"), &v));
}

TEST(ConfNumbers, RoundingAndRangesOfTheKeyTypes) {
    qint16 i = 0;
    EXPECT_TRUE(toInteger(32767, &i));
    EXPECT_FALSE(toInteger(32767.5, &i)); // rounds to 32768
    EXPECT_FALSE(toInteger(40000, &i));
    EXPECT_TRUE(toInteger(-32768, &i));
    EXPECT_TRUE(toInteger(2.5, &i));
    EXPECT_EQ(i, 2); // halves to even
    qint32 l = 0;
    EXPECT_TRUE(toLong(2147483647, &l));
    EXPECT_FALSE(toLong(2147483648.0, &l));
    EXPECT_TRUE(toLong(-2147483648.0, &l));
    EXPECT_EQ(l, std::numeric_limits<qint32>::min());
    float f = 0;
    EXPECT_FALSE(toSingle(1e39, &f));
    EXPECT_EQ(formatSingle(0.35f), QStringLiteral("0.35"));
    EXPECT_EQ(formatSingle(80.0f), QStringLiteral("80"));
    EXPECT_EQ(formatSingle(1.1f * 100.0f), QStringLiteral("110"));
    EXPECT_EQ(formatNumber(18), QStringLiteral("18"));
}

TEST(ConfGrammar, KeysIgnoreCaseAndBlanksAndTheLastLineWins) {
    const ConfText t =
        readLines({QStringLiteral("  CONFIRM APPEND   =   0"), QStringLiteral("cap marginx = 12.5"),
                   QStringLiteral("disp menu = 0"), QStringLiteral("disp menu = 1"),
                   QStringLiteral("disp menu = 0")});
    EXPECT_EQ(t.settings.confirmAppend, 0);
    EXPECT_EQ(t.settings.capMarginX, 12.5f);
    EXPECT_EQ(t.settings.dispMenu, 0);
    EXPECT_EQ(t.recognisedKeys, 3); // distinct keys
    EXPECT_TRUE(t.errors.isEmpty());
}

TEST(ConfGrammar, CommentsEqualsSignsAndUnknownLines) {
    const ConfText t = readLines({
        QStringLiteral("/* 表示情報 */"),
        QStringLiteral("play speak start msg = a=b"),        // two "=": ignored
        QStringLiteral("play speak end msg = bye // later"), // cut at " // "
        QStringLiteral("anime char = x//y"),                 // no blanks around: kept
        QStringLiteral("hotkey0 = Q  "),                     // trailing blanks stay
        QStringLiteral("no such key = 5"),
        QStringLiteral("disp top"),
        QString(),
        QStringLiteral("= 3"),
    });
    const Settings defaults;
    EXPECT_EQ(t.settings.playSpeakStartMsg, defaults.playSpeakStartMsg);
    EXPECT_EQ(t.settings.playSpeakEndMsg, QStringLiteral("bye"));
    EXPECT_EQ(t.settings.animeChar, QStringLiteral("x//y"));
    EXPECT_EQ(t.settings.hotkey0, QStringLiteral("Q  "));
    EXPECT_TRUE(t.errors.isEmpty());
    ASSERT_EQ(t.notes.size(), 1); // the known key that lost its line is worth a log line
    EXPECT_TRUE(t.notes[0].contains(QStringLiteral("2行目")));
}

// Written and read again, a value that begins like a comment stays itself,
// and a folder keeps naming the same folder.
TEST(ConfGrammar, ValuesThatLookLikeACommentReadBackAsWritten) {
    const ConfText first = readLines({
        QStringLiteral("exe name = klavoro"),
        QStringLiteral("save folder path   =// abc"),
        QStringLiteral("anime char =// x"),
        QStringLiteral("hotkey5 =//"),
    });
    ASSERT_EQ(first.settings.saveFolderPath, QStringLiteral("// abc"));
    ASSERT_EQ(first.settings.animeChar, QStringLiteral("// x"));
    const QString text = confFileText(first.settings, first.window, QStringLiteral("klavoro"));
    const ConfText again = read(text);
    EXPECT_EQ(again.settings, first.settings);
    EXPECT_EQ(confFileText(again.settings, again.window, QStringLiteral("klavoro")), text);

    // From the settings dialog: " // " inside a folder would cut it at the next
    // start; repeated separators name the same folder, so they are made single.
    Settings typed;
    typed.saveFolderPath = QStringLiteral("/tmp/a // b/");
    typed.playSpeakEndMsg = QStringLiteral("//");
    const ConfText back = read(confFileText(typed, kWindowDefaults, QStringLiteral("klavoro")));
    EXPECT_EQ(back.settings.saveFolderPath, QStringLiteral("/tmp/a / b/"));
    EXPECT_EQ(back.settings.playSpeakEndMsg, QStringLiteral("//"));
    typed.saveFolderPath = QStringLiteral("//server/share/");
    EXPECT_EQ(read(confFileText(typed, kWindowDefaults, QStringLiteral("klavoro")))
                  .settings.saveFolderPath,
              QStringLiteral("//server/share/"));
}

TEST(ConfGrammar, LineEnds) {
    // CR LF, LF alone (a file saved on Linux) and a last line without an end.
    const ConfText crlf = read(QStringLiteral("disp menu = 0\r\nreduce = 1"));
    EXPECT_EQ(crlf.settings.dispMenu, 0);
    EXPECT_EQ(crlf.settings.reduce, 1);
    EXPECT_TRUE(crlf.notes.isEmpty());
    const ConfText lf = read(QStringLiteral("exe name = klavoro\ndisp menu = 0\nreduce = 1\n"));
    EXPECT_EQ(lf.exeName, QStringLiteral("klavoro"));
    EXPECT_EQ(lf.settings.dispMenu, 0);
    EXPECT_EQ(lf.settings.reduce, 1);
    EXPECT_EQ(lf.notes.size(), 1);
    // A lone CR does not end a line: the value swallows the next line.
    const ConfText cr = read(QStringLiteral("disp menu = 0\rreduce = 1"));
    EXPECT_EQ(cr.settings.reduce, 0);
}

TEST(ConfValues, SpecialConversions) {
    const ConfText t = readLines({
        QStringLiteral("text mag = 125%"),
        QStringLiteral("max cnt = 0"),
        QStringLiteral("html border color = &H808080"),
        QStringLiteral("thumbnail mag = 0.5 // 拡大倍率"),
        QStringLiteral("load files = 1.0"),
        QStringLiteral("balloon fontsize = 24pt"),
        QStringLiteral("save folder path = \" data\\sub\\ \""),
        QStringLiteral("play speak speed = -3"),
        QStringLiteral("no shortcut= 0"),
        QStringLiteral("no rect file =1"),
        QStringLiteral("form left = 5000"),
        QStringLiteral("wait time ap active = -32768"),
    });
    EXPECT_EQ(t.settings.textMag, 1.25f);
    EXPECT_EQ(t.settings.maxCnt, 1);
    EXPECT_EQ(t.settings.htmlBorderColor, 0x808080);
    EXPECT_EQ(t.settings.thumbnailMag, 0.5f);
    EXPECT_EQ(t.settings.loadFiles, QStringLiteral("1"));
    EXPECT_EQ(t.settings.balloonFontsize, QStringLiteral("24"));
    EXPECT_EQ(t.settings.saveFolderPath, QStringLiteral("data/sub/"));
    EXPECT_EQ(t.settings.playSpeakSpeed, -3);
    EXPECT_EQ(t.settings.noShortcut, 0);
    EXPECT_EQ(t.settings.noRectFile, 1);
    EXPECT_EQ(t.window.left, 5000);
    EXPECT_EQ(t.window.top, kWindowDefaults.top);
    EXPECT_EQ(t.settings.waitTimeApActive, -32768);
    EXPECT_TRUE(t.errors.isEmpty());

    EXPECT_EQ(read(QStringLiteral("max cnt = 20000")).settings.maxCnt, 15000);
    EXPECT_EQ(read(QStringLiteral("max cnt = 99999999999999")).settings.maxCnt, 15000);
    EXPECT_EQ(read(QStringLiteral("max cnt = -5")).settings.maxCnt, 1);
    EXPECT_EQ(read(QStringLiteral("load files = yes")).settings.loadFiles, QStringLiteral("0"));
}

TEST(ConfValues, CheckBoxColourPrefixes) {
    auto colour = [](const char* value) {
        return read(QStringLiteral("thumbnail chk color = ") + QLatin1String(value))
            .settings.thumbnailChkColor;
    };
    EXPECT_EQ(colour("0xFFFFC0"), 16777152);
    EXPECT_EQ(colour("&hFFFFC0"), 16777152);
    EXPECT_EQ(colour("&HFFFFC0"), 16777152);
    EXPECT_EQ(colour("255"), 255);
    EXPECT_EQ(colour("255 red"), 255);
    EXPECT_EQ(colour("0xFFFFC0  "), 16777152);
}

TEST(ConfValues, BadValuesSkipTheirLineAndTheRestIsStillRead) {
    const ConfText t = readLines({
        QStringLiteral("disp menu = 40000"),
        QStringLiteral("play speak speed = fast"),
        QStringLiteral("no shortcut= "),
        QStringLiteral("thumbnail chk color = 0XFFFFC0"),
        QStringLiteral("thumbnail chk color = 0xZZ"),
        QStringLiteral("disp top = 99999999999"),
        QStringLiteral("thumbnail mag = 1e39"),
        QStringLiteral("rect left = 7"),
        QStringLiteral("reduce = 1"),
    });
    const Settings defaults;
    EXPECT_EQ(t.settings.dispMenu, defaults.dispMenu);
    EXPECT_EQ(t.settings.playSpeakSpeed, defaults.playSpeakSpeed);
    EXPECT_EQ(t.settings.noShortcut, defaults.noShortcut);
    EXPECT_EQ(t.settings.thumbnailChkColor, defaults.thumbnailChkColor);
    EXPECT_EQ(t.settings.dispTop, defaults.dispTop);
    EXPECT_EQ(t.settings.thumbnailMag, defaults.thumbnailMag);
    EXPECT_EQ(t.settings.rectLeft, 7);
    EXPECT_EQ(t.settings.reduce, 1);
    ASSERT_EQ(t.errors.size(), 7);
    EXPECT_TRUE(t.errors[0].startsWith(QStringLiteral("Conf.txt 1行目: disp menu = 40000")));
    EXPECT_TRUE(t.errors[3].contains(QStringLiteral("0XFFFFC0")));

    // A bad repeat keeps the value of the earlier good line.
    const ConfText again =
        readLines({QStringLiteral("disp menu = 0"), QStringLiteral("disp menu = 70000")});
    EXPECT_EQ(again.settings.dispMenu, 0);
}

TEST(ConfValues, HugeLinesAreShortenedInMessages) {
    const ConfText t = read(QStringLiteral("disp top = ") + QString(100000, '9'));
    ASSERT_EQ(t.errors.size(), 1);
    EXPECT_LT(t.errors[0].size(), 200);
}
