// Conf.txt from other editors and machines: read in the character set it is
// in, and never rewritten over what could not be read faithfully.
#include "conftestdir.h"
#include "fakemainwindow.h"
#include "store/conffile.h"
#include "store/confreading.h"
#include "store/sjis.h"

#include <QRegularExpression>
#include <QStringEncoder>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

using namespace klavoro;

namespace {

const QString kExe = QStringLiteral("klavoro");

QByteArray encoded(const QString& text, QStringEncoder::Encoding encoding, bool bom) {
    QStringEncoder e(encoding,
                     bom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
    return e.encode(text);
}

// Encoded by the system's own converter, not the program's.
QByteArray eucJp(const QString& text) {
#ifdef _WIN32
    const std::wstring in = text.toStdWString();
    QByteArray out(int(in.size()) * 3 + 4, '\0');
    const int n = WideCharToMultiByte(20932, 0, in.data(), int(in.size()), out.data(),
                                      int(out.size()), nullptr, nullptr);
    out.truncate(std::max(n, 0));
    return out;
#else
    iconv_t cd = iconv_open("EUC-JP", "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    char* o = out.data();
    size_t inLeft = utf8.size(), outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.truncate(o - out.data());
    return out;
#endif
}

class ConfCharset : public ProgramFolderTest {
protected:
    FakeMainWindow window{QSize(1920, 1080)};
    ConfFile file{window, nullptr, kExe};

    // A whole file as the program writes it, with Japanese texts in it.
    QString fullText() {
        Settings s;
        s.playSpeakStartMsg = QStringLiteral("やあ、始めます");
        s.balloonFont = QStringLiteral("游ゴシック");
        s.reduce = 1;
        EXPECT_EQ(file.save(s), 0);
        // Saved once more as loaded, so that the text is what any later save writes.
        Settings loaded;
        file.load(loaded);
        EXPECT_EQ(file.save(loaded), 0);
        return fromShiftJis(readBytes(confPath()));
    }
    QStringList backups() const {
        return QDir(home()).entryList({QStringLiteral("Conf.txt.*.bak")}, QDir::Files);
    }
    void expectTextsRead(const Settings& s) {
        EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ、始めます"));
        EXPECT_EQ(s.balloonFont, QStringLiteral("游ゴシック"));
        EXPECT_EQ(s.reduce, 1);
    }
};

} // namespace

TEST_F(ConfCharset, Utf16InEitherByteOrderIsReadAndSavedWithoutABackup) {
    const QString text = fullText();
    struct Case {
        QStringEncoder::Encoding encoding;
        bool bom;
        const char* label;
    };
    for (const Case c : {Case{QStringEncoder::Utf16LE, true, "unicode"},
                         Case{QStringEncoder::Utf16BE, true, "utf-16be"},
                         Case{QStringEncoder::Utf16LE, false, "unicode"},
                         Case{QStringEncoder::Utf16BE, false, "utf-16be"}}) {
        SCOPED_TRACE(c.label);
        writeBytes(confPath(), encoded(text, c.encoding, c.bom));
        Settings s;
        const ConfLoadReport r = file.load(s);
        EXPECT_EQ(r.charset, QLatin1String(c.label));
        EXPECT_TRUE(r.exeNameMatched);
        EXPECT_TRUE(r.faithful);
        expectTextsRead(s);
        // Written back in the program's own character set, losing nothing.
        ASSERT_EQ(file.save(s), 0);
        EXPECT_EQ(fromShiftJis(readBytes(confPath())), text);
    }
    EXPECT_TRUE(backups().isEmpty());
}

// A Linux editor saves UTF-8: its ASCII `exe name` line no longer lets the
// Shift-JIS reading garble the rest.
TEST_F(ConfCharset, Utf8WithoutMarkIsReadAsUtf8) {
    const QString text = fullText();
    writeBytes(confPath(), text.toUtf8());
    Settings s;
    const ConfLoadReport r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("utf-8"));
    EXPECT_TRUE(r.faithful);
    expectTextsRead(s);
    ASSERT_EQ(file.save(s), 0);
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(ConfCharset, EucJpIsReadButTheOriginalIsKeptBeforeTheFirstSave) {
    const QString text = fullText();
    const QByteArray euc = eucJp(text);
    ASSERT_NE(euc, toShiftJis(text));
    writeBytes(confPath(), euc);
    Settings s;
    const ConfLoadReport r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("euc-jp"));
    EXPECT_FALSE(r.faithful);
    expectTextsRead(s);
    EXPECT_TRUE(backups().isEmpty()); // loading writes nothing

    ASSERT_EQ(file.save(s), 0);
    ASSERT_EQ(backups().size(), 1);
    EXPECT_TRUE(backups()[0].contains(QRegularExpression("^Conf\\.txt\\.[0-9]{16}\\.bak$")));
    EXPECT_EQ(readBytes(home() + '/' + backups()[0]), euc);
    EXPECT_TRUE(fromShiftJis(log()).contains(backups()[0]));
    EXPECT_EQ(fromShiftJis(readBytes(confPath())), text);
    // The file is the program's own now: the next save keeps no second copy.
    ASSERT_EQ(file.save(s), 0);
    EXPECT_EQ(backups().size(), 1);
}

// Bytes that no character set explains: whatever the settings became, the
// save at shut-down keeps the user's file first.
TEST_F(ConfCharset, BytesNoReadingExplainsAreKeptBeforeTheyAreOverwritten) {
    QByteArray bytes = "exe name = klavoro\r\nreduce = 1\r\nplay speak start msg = ";
    bytes += QByteArray("\x85\x40\xFD\xFE\xFF\x80 x", 8); // odd length: no UTF-16 either
    writeBytes(confPath(), bytes);
    for (const ConfReading& reading : confReadings(bytes))
        EXPECT_FALSE(reading.exact) << qPrintable(reading.label);
    Settings s;
    const ConfLoadReport r = file.load(s);
    EXPECT_FALSE(r.faithful);
    EXPECT_EQ(s.reduce, 1);
    ASSERT_EQ(file.save(s), 0);
    ASSERT_EQ(backups().size(), 1);
    EXPECT_EQ(readBytes(home() + '/' + backups()[0]), bytes);
}

TEST_F(ConfCharset, WhatShiftJisCannotHoldOrNothingUnderstoodIsKeptToo) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    writeBytes(confPath(),
               (QStringLiteral("exe name = klavoro\r\nplay speak start msg = ") + emoji).toUtf8());
    Settings s;
    EXPECT_FALSE(file.load(s).faithful);
    EXPECT_EQ(s.playSpeakStartMsg, emoji);
    ASSERT_EQ(file.save(s), 0);
    EXPECT_EQ(backups().size(), 1);

    // The wave dash has a Shift-JIS code, but it reads back as the full-width tilde.
    writeBytes(confPath(), QStringLiteral("exe name = klavoro\r\nno char = 〜\r\n").toUtf8());
    EXPECT_FALSE(file.load(s).faithful);
    EXPECT_TRUE(fitsShiftJis(QStringLiteral("～①ｱ")));
    EXPECT_FALSE(fitsShiftJis(QStringLiteral("〜")));
    ASSERT_EQ(file.save(s), 0);
    EXPECT_EQ(backups().size(), 2);

    // A file of which nothing is understood.
    const QByteArray notes = "my notes, not settings\r\n";
    writeBytes(confPath(), notes);
    EXPECT_FALSE(file.load(s).faithful);
    ASSERT_EQ(file.save(s), 0);
    ASSERT_EQ(backups().size(), 3);

    // The program's own file and a short hand-made one need no copy.
    ASSERT_EQ(file.save(s), 0);
    writeBytes(confPath(), "reduce = 1\r\n");
    EXPECT_TRUE(file.load(s).faithful);
    ASSERT_EQ(file.save(s), 0);
    EXPECT_EQ(backups().size(), 3);
}

TEST_F(ConfCharset, ByteOrderMarkDecidesAlone) {
    EXPECT_EQ(confReadings("\xEF\xBB\xBFx = 1").size(), 1);
    EXPECT_EQ(confReadings(QByteArray("\xFF\xFEx\0", 4)).first().label, QStringLiteral("unicode"));
    EXPECT_EQ(confReadings(QByteArray("\xFE\xFF\0x", 4)).first().label, QStringLiteral("utf-16be"));
    // Plain ASCII keeps the old order.
    const QList<ConfReading> ascii = confReadings("reduce = 1");
    ASSERT_EQ(ascii.size(), 4);
    EXPECT_EQ(ascii[0].label, QStringLiteral("shift-jis"));
    // A Shift-JIS file stays Shift-JIS, even where its bytes happen to be EUC-JP too.
    EXPECT_EQ(confReadings(toShiftJis(QStringLiteral("x = ｱｲｳｴ"))).first().label,
              QStringLiteral("shift-jis"));
    EXPECT_EQ(confReadings(toShiftJis(QStringLiteral("x = 表示情報"))).first().label,
              QStringLiteral("shift-jis"));
}

TEST_F(ConfCharset, LeftTemporariesOfAnInterruptedSaveGoAtTheNextLoad) {
    writeBytes(home() + "/.Conf.txt.tmpA1b2C3", "half a file");
    writeBytes(home() + "/.Conf.txt.keep", "mine");
    Settings s;
    file.load(s);
    EXPECT_FALSE(QFileInfo::exists(home() + "/.Conf.txt.tmpA1b2C3"));
    EXPECT_TRUE(QFileInfo::exists(home() + "/.Conf.txt.keep"));
}
