#include "store/conftext.h"
#include "store/settingsedit.h"
#include "testutil.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::FakeDialogs;
using klavoro::test::ScratchHome;

namespace {

const QSize kScreen(1920, 1080);

class SettingsEditTest : public ::testing::Test {
protected:
    ScratchHome home;
    Settings settings;
    FakeDialogs dialogs;
    SettingsEdit edit{settings, dialogs};
};

} // namespace

TEST_F(SettingsEditTest, MaxCountIsCappedOrRefused) {
    QString text = QStringLiteral("16,000");
    EXPECT_TRUE(edit.leaveMaxCnt(text, 3));
    EXPECT_EQ(text, "15000");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("最大枚数は15000です"));

    text = QStringLiteral("1,000");
    EXPECT_TRUE(edit.leaveMaxCnt(text, 1000)) << "as many as recorded is fine";
    EXPECT_EQ(text, "1,000");
    EXPECT_FALSE(edit.leaveMaxCnt(text, 1001));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1],
              QStringLiteral("取得済みのデータが既に超えています。\r\n"
                             "データを削除するか、最大枚数を変更して下さい。"));
    EXPECT_EQ(text, "1,000") << "a refused count stays for the user to change";

    // Nothing could ever be recorded with no count at all.
    text.clear();
    EXPECT_FALSE(edit.leaveMaxCnt(text, 0));
    text = QStringLiteral("99999999999999999999999");
    EXPECT_TRUE(edit.leaveMaxCnt(text, 0));
    EXPECT_EQ(text, "15000");
}

TEST_F(SettingsEditTest, EmptyJpgQualityAndReversedRangesAreRefused) {
    EXPECT_FALSE(edit.leaveJpgQuality(QString()));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("JPG品質が空白です"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("入力エラー"));
    EXPECT_TRUE(edit.leaveJpgQuality(QStringLiteral(" 70")));

    EXPECT_FALSE(edit.leaveRect({"-150", "100", "150", "99"}));
    EXPECT_FALSE(edit.leaveRect({"10", "-100", "9", "200"}));
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messages[1], QStringLiteral("top < bottom でなければイケマセン！"));
    EXPECT_EQ(dialogs.messages[2], QStringLiteral("left < right でなければイケマセン！"));
    EXPECT_EQ(dialogs.titles[2], QStringLiteral("選択数値エラー"));
    EXPECT_TRUE(edit.leaveRect({"0", "0", "0", "0"})) << "equal edges pass";
}

TEST_F(SettingsEditTest, SizesMustFitTheScreen) {
    settings.textMag = 1.25f;
    EXPECT_TRUE(edit.leaveMaxSize(0, QStringLiteral("2400"), kScreen));
    EXPECT_FALSE(edit.leaveMaxSize(0, QStringLiteral("2401"), kScreen));
    EXPECT_FALSE(edit.leaveMaxSize(1, QStringLiteral("1351"), kScreen));
    EXPECT_FALSE(edit.leaveMaxSize(1, QStringLiteral("0"), kScreen));
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("2400 以内の値を入力して下さい！"));
    EXPECT_EQ(dialogs.messages[1], QStringLiteral("1350 以内の値を入力して下さい！"));
    EXPECT_EQ(dialogs.messages[2], QStringLiteral("０より大きい値を入力して下さい！"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("入力値不正"));

    // Thumbnails are limited by the plain screen size.
    EXPECT_TRUE(edit.leaveThumbnail(0, QStringLiteral("1920"), kScreen));
    EXPECT_FALSE(edit.leaveThumbnail(0, QStringLiteral("1921"), kScreen));
    EXPECT_FALSE(edit.leaveThumbnail(1, QString(), kScreen));
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("０より大きい値を入力して下さい！"));
}

TEST_F(SettingsEditTest, HotKeysClashOnlyWithTheSameLetter) {
    EXPECT_TRUE(edit.leaveHotKey({"Z", "", "", "E", "F"}, 1)) << "empty boxes are no duplicates";
    EXPECT_TRUE(edit.leaveHotKey({"Z", "", "", "E", "F"}, 0));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(edit.leaveHotKey({"Z", "S", "C", "E", "z"}, 4));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QStringLiteral("ホットキーが重複しています！"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("重複"));
}

TEST_F(SettingsEditTest, OkWithoutChangesKeepsEverySettingAndTheFile) {
    // Values no control can show exactly must come through untouched.
    settings.saveFileFormat = 7;
    settings.keyRecord = 2;
    settings.target = 9;
    settings.textMag = 1.333f;
    settings.playSpan = 0.25f;
    settings.hotkey2 = QStringLiteral("F1");
    settings.loadFiles = QStringLiteral("5");
    settings.mouseOption = 3;
    settings.maxCnt = 0;
    settings.saveFolderPath = QStringLiteral("gone/");
    const Settings before = settings;
    const WindowRect window{10, 20, 630, 470};
    const QString fileBefore = confFileText(settings, window, QStringLiteral("klavoro"));

    const SettingsForm form = edit.open();
    EXPECT_EQ(edit.accept(form), SettingsEdit::OkResult::Done);
    EXPECT_TRUE(edit.accepted());
    EXPECT_TRUE(settings == before);
    EXPECT_EQ(confFileText(settings, window, QStringLiteral("klavoro")), fileBefore);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SettingsEditTest, OkCopiesWhatWasChanged) {
    settings.settingIndex = 4;
    SettingsForm form = edit.open();
    EXPECT_EQ(form.maxCnt, "15,000");
    EXPECT_EQ(form.textMag, "100%");
    EXPECT_EQ(form.playSpan, "2.0");
    EXPECT_EQ(form.pageIndex, 4);

    form.pageIndex = 2;
    form.maxCnt = QStringLiteral("1,500");
    form.textMag = QStringLiteral("150%");
    form.playSpan = QStringLiteral("0.7");
    form.loadFiles = false;
    form.saveJpgQuality = QStringLiteral(" 90");
    form.saveFileFormat = 2;
    form.hotkey[3] = QStringLiteral("Q");
    form.rect[0] = QStringLiteral("-200");
    form.maxSize[1] = QStringLiteral("700");
    form.tasktray = true;
    form.rectPointColor = 0x00FF00;
    form.balloonFont = QStringLiteral("Noto Sans CJK JP");
    ASSERT_EQ(edit.accept(form), SettingsEdit::OkResult::Done);

    EXPECT_EQ(settings.settingIndex, 2);
    EXPECT_EQ(settings.maxCnt, 1500);
    EXPECT_FLOAT_EQ(settings.textMag, 1.5f);
    EXPECT_FLOAT_EQ(settings.playSpan, 0.7f);
    EXPECT_EQ(settings.loadFiles, "0");
    EXPECT_EQ(settings.saveJpgQuality, 90);
    EXPECT_EQ(settings.saveFileFormat, 2);
    EXPECT_EQ(settings.hotkey3, "Q");
    EXPECT_EQ(settings.rectLeft, -200);
    EXPECT_EQ(settings.winHeightMax, 700);
    EXPECT_EQ(settings.tasktray, 1);
    EXPECT_EQ(settings.rectPointColor, 0x00FF00);
    EXPECT_EQ(settings.balloonFont, "Noto Sans CJK JP");
    EXPECT_EQ(settings.winWidthMax, 600) << "untouched";
}

TEST_F(SettingsEditTest, SaveFolderRules) {
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("shots/may")));
    QString stored = QStringLiteral("unchanged");
    EXPECT_TRUE(storedSaveFolder(home.path(), &stored));
    EXPECT_EQ(stored, "") << "the program folder is the empty setting";
    stored = QStringLiteral("unchanged");
    EXPECT_TRUE(storedSaveFolder(QString(), &stored));
    EXPECT_EQ(stored, "");
    EXPECT_TRUE(storedSaveFolder(QStringLiteral("shots/may"), &stored));
    EXPECT_EQ(stored, "shots/may/");
    EXPECT_TRUE(storedSaveFolder(home.path(QStringLiteral("shots/")), &stored));
    EXPECT_EQ(stored, "shots/");
    EXPECT_FALSE(storedSaveFolder(QStringLiteral("nowhere"), &stored));
    EXPECT_EQ(stored, "shots/");

    // What the folder dialog starts at and what its choice puts into the box.
    EXPECT_EQ(saveFolderDialogStart(QString()), programFolder());
    EXPECT_EQ(saveFolderDialogStart(QStringLiteral("shots")), programFolder() + "shots/");
    EXPECT_EQ(saveFolderText(home.path()), "");
    EXPECT_EQ(saveFolderText(home.path(QStringLiteral("shots/may/"))), "shots/may");
}

TEST_F(SettingsEditTest, ProgramFolderAsSaveFolderStoresEmpty) {
    SettingsForm form = edit.open();
    form.saveFolderPath = home.path();
    ASSERT_EQ(edit.accept(form), SettingsEdit::OkResult::Done);
    EXPECT_EQ(settings.saveFolderPath, "");
}

TEST_F(SettingsEditTest, MissingSaveFolderRefusesOkAndChangesNothing) {
    const Settings before = settings;
    SettingsForm form = edit.open();
    form.mouseCursor = !form.mouseCursor; // copied before the folder, were it copied at all
    form.saveFolderPath = QStringLiteral("no such folder");
    form.reduce = !form.reduce;
    EXPECT_EQ(edit.accept(form), SettingsEdit::OkResult::BadSaveFolder);
    EXPECT_FALSE(edit.accepted());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("「 no such folder 」は有効なフォルダパスではありません！"));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("入力値不正"));
    EXPECT_TRUE(settings == before);
}

TEST(SettingsEditPaths, ExecutablesAndCursorFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "programs by execute permission and sh are POSIX";
#endif
    ScratchHome home;
    const QString script = home.path(QStringLiteral("edit.sh"));
    klavoro::test::writeBytes(script, "#!/bin/sh\n");
    EXPECT_FALSE(isExecutableFile(QStringLiteral("edit.sh")));
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    EXPECT_TRUE(isExecutableFile(QStringLiteral("edit.sh")));
    EXPECT_TRUE(isExecutableFile(script));
    EXPECT_TRUE(isExecutableFile(QStringLiteral("sh"))) << "found on the search path";
    EXPECT_FALSE(isExecutableFile(home.path())) << "a folder is no program";
    EXPECT_FALSE(isExecutableFile(QString()));

    EXPECT_EQ(editorPathText(script), "edit.sh");
    EXPECT_EQ(editorPathText(QStringLiteral("/usr/bin/gimp")), "/usr/bin/gimp");

    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("cursors")));
    klavoro::test::writeBytes(home.path(QStringLiteral("cursors/hand.cur")), "x");
    klavoro::test::writeBytes(home.path(QStringLiteral("hand.cur")), "x");
    QString name;
    EXPECT_TRUE(mouseFileOf(home.path(QStringLiteral("cursors/hand.cur")), &name));
    EXPECT_EQ(name, "hand.cur");
    EXPECT_FALSE(mouseFileOf(home.path(QStringLiteral("hand.cur")), &name))
        << "captures would not find it there";
}

TEST(SettingsEditFormat, MaxCountWithThousandsSeparators) {
    EXPECT_EQ(formatMaxCnt(15000), "15,000");
    EXPECT_EQ(formatMaxCnt(1000), "1,000");
    EXPECT_EQ(formatMaxCnt(999), "999");
    EXPECT_EQ(formatMaxCnt(5), "5");
    EXPECT_EQ(formatMaxCnt(0), "");
    EXPECT_EQ(numberOfText(QStringLiteral("12,000")), 12000);
    EXPECT_EQ(numberOfText(QString()), 0);
}

TEST_F(SettingsEditTest, RedactionFrameStoresWordsAndRefusesBadOnes) {
    settings.redactWords = QStringLiteral("山田\u0001/K-[0-9]+/");
    settings.redactPatterns = 0x10F; // a bit no box shows
    SettingsForm form = edit.open();
    EXPECT_EQ(form.redactWords, QStringLiteral("山田\n/K-[0-9]+/"));

    // A broken expression, or " // " that Conf.txt would cut: refused, nothing copied.
    for (const QString& words : {QStringLiteral("山田\n/(unclosed/"), QStringLiteral("a // b")}) {
        form.redactWords = words;
        form.redact = false;
        EXPECT_EQ(edit.accept(form), SettingsEdit::OkResult::BadRedactWord);
        EXPECT_EQ(settings.redact, 1);
        EXPECT_EQ(settings.redactWords, QStringLiteral("山田\u0001/K-[0-9]+/"));
    }
    EXPECT_EQ(dialogs.messages.size(), 2);

    form.redactWords = QStringLiteral("  鈴木  \n\n/x+/\n");
    form.redactColor = 0x0000FF;
    EXPECT_EQ(edit.accept(form), SettingsEdit::OkResult::Done);
    EXPECT_EQ(settings.redact, 0);
    EXPECT_EQ(settings.redactWords, QStringLiteral("鈴木\u0001/x+/"));
    EXPECT_EQ(settings.redactColor, 0x0000FF);
    EXPECT_EQ(settings.redactPatterns, 0x10F);
}
