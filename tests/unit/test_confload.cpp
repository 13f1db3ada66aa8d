#include "conftestdir.h"
#include "fakemainwindow.h"
#include "store/conffile.h"
#include "store/confkeys.h"
#include "store/sjis.h"

#include <QRandomGenerator>
#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

const QString kExe = QStringLiteral("klavoro");

// Every field of the file set away from its default, so that a key that is not
// written or not read back shows up as a difference.
Settings everyFieldChanged(const QString& folder) {
    Settings s;
    int n = 0;
    for (const ConfGroup& g : confGroups())
        for (const ConfKey& k : g.keys) {
            ++n;
            std::visit(
                [&](auto field) {
                    using F = decltype(field);
                    if constexpr (std::is_same_v<F, qint16 Settings::*>)
                        s.*field = qint16(1000 + n);
                    else if constexpr (std::is_same_v<F, qint32 Settings::*>)
                        s.*field = k.read == ConfRead::StepCap ? 1234 : -100000 - n;
                    else if constexpr (std::is_same_v<F, float Settings::*>)
                        s.*field = 0.25f + float(n);
                    else if constexpr (std::is_same_v<F, QString Settings::*>)
                        s.*field = k.read == ConfRead::NumberText ? QString::number(n)
                                                                  : QStringLiteral("値%1 x").arg(n);
                },
                k.field);
        }
    s.saveFolderPath = folder;
    return s;
}

QByteArray utf16(const QString& text) {
    QStringEncoder e(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return e.encode(text);
}

class ConfLoad : public ProgramFolderTest {
protected:
    FakeMainWindow window{QSize(1920, 1080)};
    QString sampleText(const QString& exeName) const {
        return QStringLiteral("exe name = ") + exeName +
               QStringLiteral(
                   "\r\n\r\ndisp menu = 0\r\nplay speak start msg = やあ\r\nreduce = 1\r\n");
    }
};

} // namespace

TEST_F(ConfLoad, MissingFileGivesDefaultsSilently) {
    ConfFile file(window, nullptr, kExe);
    Settings s;
    s.dispMenu = 0;
    const ConfLoadReport r = file.load(s);
    Settings expected;
    expected.saveFolderPath = QStringLiteral("data/");
    EXPECT_EQ(s, expected);
    EXPECT_FALSE(r.fileFound);
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_EQ(window.rect, (WindowRect{1400, 650, 1900, 1050}));
    EXPECT_EQ(window.splitterLeft, 300);
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(ConfLoad, EveryKeyRoundTrips) {
    ASSERT_TRUE(QDir(home()).mkpath(QStringLiteral("my data")));
    const Settings saved = everyFieldChanged(QStringLiteral("my data/"));
    window.rect = {10, 20, 810, 620};
    ConfFile file(window, nullptr, kExe);
    ASSERT_EQ(file.save(saved), 0);

    FakeMainWindow other(QSize(1920, 1080));
    ConfFile again(other, nullptr, kExe);
    Settings loaded;
    const ConfLoadReport r = again.load(loaded);
    EXPECT_TRUE(r.exeNameMatched);
    EXPECT_EQ(r.charset, QStringLiteral("shift-jis"));
    EXPECT_TRUE(r.errors.isEmpty()) << qPrintable(r.errors.join('\n'));
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(other.rect, (WindowRect{10, 20, 810, 620}));
    EXPECT_EQ(other.splitterLeft, saved.splitterLeft);
    // Saving what was loaded gives the same bytes.
    const QByteArray first = readBytes(confPath());
    ASSERT_EQ(again.save(loaded), 0);
    EXPECT_EQ(readBytes(confPath()), first);
}

TEST_F(ConfLoad, RunOnlySwitchesSurviveAReload) {
    ConfFile file(window, nullptr, kExe);
    Settings s;
    s.autoSave = 0;
    s.thumbnailStatic = 1;
    ASSERT_EQ(file.save(s), 0);
    file.load(s);
    EXPECT_EQ(s.autoSave, 0);
    EXPECT_EQ(s.thumbnailStatic, 1);
    EXPECT_FALSE(readBytes(confPath()).contains("auto save"));
}

TEST_F(ConfLoad, CharacterSetProbe) {
    Settings s;
    ConfFile file(window, nullptr, kExe);

    writeBytes(confPath(), utf16(sampleText(kExe)));
    ConfLoadReport r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("unicode"));
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));
    EXPECT_EQ(s.dispMenu, 0);

    // UTF-8 with an ASCII exe name: valid UTF-8 is read as UTF-8 first, so
    // that the Shift-JIS attempt does not garble its texts.
    writeBytes(confPath(), sampleText(kExe).toUtf8());
    r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("utf-8"));
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));
    EXPECT_EQ(s.reduce, 1);

    // A byte-order mark spoils the first key for Shift-JIS only.
    writeBytes(confPath(), "\xEF\xBB\xBF" + sampleText(kExe).toUtf8());
    r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("utf-8"));
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));

    writeBytes(confPath(), toShiftJis(sampleText(kExe)));
    r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("shift-jis"));
    EXPECT_TRUE(r.exeNameMatched);
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));
}

TEST_F(ConfLoad, AnotherExeNameKeepsTheUsersSettingsAndSaysSo) {
    Settings s;
    // The executable was renamed: the attempt that knew the most keys stands.
    ConfFile renamed(window, nullptr, QStringLiteral("klavoro2"));
    writeBytes(confPath(), toShiftJis(sampleText(kExe)));
    ConfLoadReport r = renamed.load(s);
    EXPECT_FALSE(r.exeNameMatched);
    EXPECT_EQ(r.charset, QStringLiteral("shift-jis"));
    EXPECT_EQ(s.dispMenu, 0);
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));
    EXPECT_TRUE(log().contains("klavoro2"));

    writeBytes(confPath(), utf16(sampleText(kExe)));
    r = renamed.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("unicode"));
    EXPECT_EQ(s.playSpeakStartMsg, QStringLiteral("やあ"));

    // No exe name line at all.
    ConfFile file(window, nullptr, kExe);
    writeBytes(confPath(), toShiftJis(QStringLiteral("reduce = 1\r\n")));
    r = file.load(s);
    EXPECT_EQ(r.charset, QStringLiteral("shift-jis"));
    EXPECT_EQ(s.reduce, 1);
}

TEST_F(ConfLoad, BadValuesAreReportedLoggedAndTheRestApplies) {
    writeBytes(confPath(), toShiftJis(QStringLiteral("exe name = klavoro\r\ndisp menu = 40000\r\n"
                                                     "no shortcut= yes\r\nreduce = 1\r\n")));
    ConfFile file(window, nullptr, kExe);
    Settings s;
    const ConfLoadReport r = file.load(s);
    ASSERT_EQ(r.errors.size(), 2);
    EXPECT_EQ(s.dispMenu, 1);
    EXPECT_EQ(s.noShortcut, 1);
    EXPECT_EQ(s.reduce, 1);
    EXPECT_TRUE(log().contains(toShiftJis(QStringLiteral("2行目: disp menu = 40000"))));
    EXPECT_TRUE(log().contains(toShiftJis(QStringLiteral("3行目: no shortcut= yes"))));
}

TEST_F(ConfLoad, BrokenFilesNeverCrashAndGiveDefaults) {
    ConfFile file(window, nullptr, kExe);
    Settings s;
    const Settings defaults = [] {
        Settings d;
        d.saveFolderPath = QStringLiteral("data/");
        return d;
    }();

    writeBytes(confPath(), QByteArray());
    ConfLoadReport r = file.load(s);
    EXPECT_TRUE(r.fileFound);
    EXPECT_EQ(s, defaults);

    QByteArray binary(64 * 1024, '\0');
    QRandomGenerator gen(42);
    for (char& c : binary)
        c = char(gen.bounded(256));
    writeBytes(confPath(), binary);
    r = file.load(s);
    EXPECT_TRUE(r.fileFound);

    // 10 MB: one long line that the grammar ignores, then real lines.
    QByteArray big(10 * 1024 * 1024, 'x');
    big += "\r\nreduce = 1\r\nmax cnt = 1e30\r\ndisp top = " + QByteArray(5000, '9') + "\r\n";
    writeBytes(confPath(), big);
    r = file.load(s);
    EXPECT_EQ(s.reduce, 1);
    EXPECT_EQ(s.maxCnt, kStepCap);
    EXPECT_EQ(s.dispTop, 0);
    EXPECT_EQ(r.errors.size(), 1);
}

TEST_F(ConfLoad, UnreadableFileKeepsDefaultsAndIsNotOverwritten) {
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Conf.txt")));
    ConfFile file(window, nullptr, kExe);
    Settings s;
    s.reduce = 1;
    const ConfLoadReport r = file.load(s);
    EXPECT_TRUE(r.readFailed);
    EXPECT_EQ(s.reduce, 0);
    EXPECT_EQ(file.save(s), -1);
    EXPECT_TRUE(log().contains(toShiftJis(QStringLiteral("Conf.txt を読めません"))));
    EXPECT_TRUE(log().contains(toShiftJis(QStringLiteral("上書きしません"))));
}

TEST_F(ConfLoad, CaptureFolderCheck) {
    ConfFile file(window, nullptr, kExe);
    Settings s;
    auto loadFolder = [&](const QString& value) {
        writeBytes(confPath(), toShiftJis(QStringLiteral("save folder path = ") + value + "\r\n"));
        file.load(s);
        return s.saveFolderPath;
    };
    ASSERT_TRUE(QDir(home()).mkpath(QStringLiteral("data/sub")));
    EXPECT_EQ(loadFolder(QStringLiteral("data")), QStringLiteral("data/"));
    EXPECT_EQ(loadFolder(QStringLiteral("data\\sub\\")), QStringLiteral("data/sub/"));
    EXPECT_EQ(loadFolder(QStringLiteral("\"data/sub\"")), QStringLiteral("data/sub/"));
    EXPECT_EQ(loadFolder(home() + QStringLiteral("data")), home() + QStringLiteral("data/"));
    EXPECT_EQ(loadFolder(QStringLiteral("missing")), QString());
    EXPECT_EQ(loadFolder(QStringLiteral("C:\\Users\\x\\data")), QString());
    EXPECT_EQ(loadFolder(QString()), QString());
}

TEST_F(ConfLoad, WindowIsPulledOntoTheScreen) {
    ConfFile file(window, nullptr, kExe);
    Settings s;
    writeBytes(confPath(), "form left = 5000\r\nform top = -40\r\nform right = 5500\r\n"
                           "form bottom = 360\r\nsplitter left = 123\r\n");
    file.load(s);
    EXPECT_EQ(window.rect, (WindowRect{1420, 0, 1920, 400}));
    EXPECT_EQ(window.splitterLeft, 123);

    // Larger than the screen: the left and top edges win.
    EXPECT_EQ(pulledOntoScreen({-10, -10, 3000, 2000}, QSize(1920, 1080)),
              (WindowRect{0, 0, 3010, 2010}));
    // Right of left from a hand-edited file, and edges far apart: no overflow.
    EXPECT_EQ(pulledOntoScreen({500, 500, 100, 100}, QSize(1920, 1080)),
              (WindowRect{500, 500, 500, 500}));
    const WindowRect wide = pulledOntoScreen(
        {std::numeric_limits<qint32>::min(), 0, std::numeric_limits<qint32>::max(), 10},
        QSize(1920, 1080));
    EXPECT_EQ(wide.left, 0);
    EXPECT_GE(wide.right, 1920);
}
