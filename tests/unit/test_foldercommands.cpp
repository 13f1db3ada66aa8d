#include "store/capturefolder.h"
#include "store/foldercommands.h"
#include "testutil.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
struct Fixture {
    ScratchHome home;
    FakeDialogs dialogs;
    int reloads = 0;
    FolderCommands commands{dialogs, [this] { ++reloads; }};
};
} // namespace

TEST(FolderCommands, SwitchToAndBackFromUnmarkedCopies) {
    Fixture f;
    conf().saveFolderPath = "data/";
    f.commands.switchToUnmarked(); // NO_RECT not made yet
    EXPECT_EQ(conf().saveFolderPath, "data/");
    EXPECT_EQ(f.reloads, 0);
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(
        f.dialogs.messages[0].startsWith(QStringLiteral("NO_RECT/ は、まだ作成されていません！")));

    QDir().mkpath(f.home.path("data/NO_RECT"));
    f.commands.switchToUnmarked();
    EXPECT_EQ(conf().saveFolderPath, "data/NO_RECT");
    EXPECT_EQ(f.reloads, 1);
    f.commands.switchToUnmarked();
    EXPECT_EQ(f.dialogs.messages.last(), QStringLiteral("既に data/NO_RECT です！"));

    f.commands.switchBackFromUnmarked();
    EXPECT_EQ(conf().saveFolderPath, "data");
    EXPECT_EQ(f.reloads, 2);
    f.commands.switchBackFromUnmarked();
    EXPECT_EQ(f.dialogs.messages.last(), QStringLiteral("既に既定のフォルダ data です！"));

    conf().saveFolderPath = "data/no_rect/"; // any letter case; the trailing separator stays
    f.commands.switchBackFromUnmarked();
    EXPECT_EQ(conf().saveFolderPath, "data/");
}

TEST(FolderCommands, UnmarkedFolderOfTheProgramFolderItself) {
    Fixture f;
    conf().saveFolderPath = "";
    QDir().mkpath(f.home.path("NO_RECT"));
    f.commands.switchToUnmarked();
    EXPECT_EQ(conf().saveFolderPath, "NO_RECT");
    EXPECT_EQ(captureFolder(), f.home.path("NO_RECT/"));
    f.commands.switchBackFromUnmarked();
    EXPECT_EQ(conf().saveFolderPath, "");
}

TEST(FolderCommands, ResetToDefaultAsksFirst) {
    Fixture f;
    conf().saveFolderPath = "/elsewhere";
    f.dialogs.answer = false;
    f.commands.resetToDefault();
    EXPECT_EQ(conf().saveFolderPath, "/elsewhere");
    EXPECT_FALSE(f.dialogs.lastDefaultYes); // No is preselected
    EXPECT_EQ(f.dialogs.questions[0],
              QStringLiteral("データの保存先を、既定値「data」 に戻して宜しいですか？。"));
    f.dialogs.answer = true;
    f.commands.resetToDefault();
    EXPECT_EQ(conf().saveFolderPath, "data");
    EXPECT_EQ(f.reloads, 1);
    EXPECT_EQ(f.dialogs.messages.last(),
              QStringLiteral("保存先フォルダーを「data」 に戻しました。"));
}

TEST(FolderCommands, ChosenFolderStoredInFullOrRelative) {
    Fixture f;
    f.commands.chooseFolder(f.home.path("rec/one"), false);
    EXPECT_EQ(conf().saveFolderPath, f.home.path("rec/one"));
    f.commands.chooseFolder(f.home.path("rec/two"), true);
    EXPECT_EQ(conf().saveFolderPath, "rec/two");
    f.commands.chooseFolder(QString(), true); // cancelled
    EXPECT_EQ(f.reloads, 2);
}

TEST(FolderCommands, UnmarkedFolderCheck) {
    Fixture f;
    QDir().mkpath(f.home.path("data/NO_RECT"));
    conf().saveFolderPath = "data/NO_RECT";
    conf().confirmAppend = 0;
    EXPECT_FALSE(f.commands.checkUnmarkedFolder());
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    conf().confirmAppend = 1;
    f.dialogs.answer = false;
    EXPECT_FALSE(f.commands.checkUnmarkedFolder());
    EXPECT_EQ(f.dialogs.titles.last(), QStringLiteral("保存先フォルダの確認"));
    f.dialogs.answer = true;
    EXPECT_TRUE(f.commands.checkUnmarkedFolder());
    EXPECT_EQ(conf().saveFolderPath, "data");
    EXPECT_FALSE(f.commands.checkUnmarkedFolder()); // no longer in NO_RECT
}
