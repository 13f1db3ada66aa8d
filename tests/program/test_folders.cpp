// The capture-folder commands: open, change (button, its right click, the
// menus), the unmarked folder and back, the default folder, reload.
#include "store/sjis.h"
#include "store/stepline.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kFile = QStringLiteral("ファイル");

} // namespace

TEST(Folders, TheFolderIsOpenedFromTheButtonAndBothMenus) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const int before = s.opened().size();
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("開く"), s.title()));
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("保存先フォルダを開く")));
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("保存先フォルダを開く")));
    ASSERT_TRUE(waitUntil([&] { return s.opened().size() == before + 3; }, 5000));
    for (const QString& line : s.opened().mid(before))
        EXPECT_EQ(QDir(line).canonicalPath(), QDir(s.folder()).canonicalPath()) << line.toStdString();
    EXPECT_EQ(s.ran(),
              QStringList({"cmdOpenFolder", "mnuShowFolder", "mnuPicListShowFolder"}));
    EXPECT_TRUE(s.close());
}

TEST(Folders, TheUnmarkedFolderAndBackFromBothMenus) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("囲み無し画像フォルダ(NO_RECT)に切替")));
    EXPECT_TRUE(waitUntil([&] { return s.title().contains(QStringLiteral("NO_RECT")); }));
    EXPECT_TRUE(waitUntil([&] { return s.row(1).rect.isValid(); })) << "NO_RECT's list not shown";
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("既定のフォルダに戻す")));
    EXPECT_TRUE(waitUntil([&] { return !s.title().contains(QStringLiteral("NO_RECT")); }));

    ASSERT_TRUE(s.select(2));
    ASSERT_TRUE(s.listMenu(QStringLiteral("囲み無し画像フォルダ(NO_RECT)に切替")));
    EXPECT_TRUE(waitUntil([&] { return s.title().contains(QStringLiteral("NO_RECT")); }));
    // Switching again says so and changes nothing.
    ASSERT_TRUE(s.select(2));
    ASSERT_TRUE(s.listMenu(QStringLiteral("囲み無し画像フォルダ(NO_RECT)に切替")));
    EXPECT_TRUE(s.dialogText(QStringLiteral("クラヴォロ")).contains(QStringLiteral("既に")));
    ASSERT_TRUE(s.answer(QStringLiteral("クラヴォロ"), Answer::Ok));
    ASSERT_TRUE(s.select(2));
    ASSERT_TRUE(s.listMenu(QStringLiteral("既定のフォルダに戻す")));
    EXPECT_TRUE(waitUntil([&] { return !s.title().contains(QStringLiteral("NO_RECT")); }));
    EXPECT_TRUE(s.title().contains(QStringLiteral("data")));
    EXPECT_EQ(s.ran(),
              QStringList({"mnuChangeNoRectFolder", "mnuChangeDefaultFolder",
                           "mnuListChangeNoRectFolder", "mnuListChangeNoRectFolder",
                           "mnuListChangeDefaultFolder"}));
    EXPECT_TRUE(s.close());
    EXPECT_EQ(confValue(s.home(), QStringLiteral("save folder path")), QStringLiteral("data"));
}

TEST(Folders, AnotherFolderFromTheButtonTheMenusAndBackToTheDefault) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString other = s.home() + QStringLiteral("/other");
    const QString third = s.home() + QStringLiteral("/third");
    makeStepFolder(other + '/', 5);
    makeStepFolder(third + '/', 3);

    // The button stores the folder in full.
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("保存先"), s.title()));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("保存先フォルダの変更"), other));
    EXPECT_TRUE(waitUntil([&] { return s.title().contains(QStringLiteral("other")); }, 8000));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 5; }, 8000)) << s.rowCount();

    // Its right click: the same, without making new folders.
    s.ui().click(s.button(QStringLiteral("保存先")).centre(), MouseButton::Right);
    ASSERT_TRUE(s.fileDialog(QStringLiteral("保存先フォルダの変更"), third));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 3; }, 8000)) << s.rowCount();
    s.close();
    EXPECT_EQ(QDir(confValue(s.home(), QStringLiteral("save folder path"))).canonicalPath(),
              QDir(third).canonicalPath());
}

TEST(Folders, TheMenusStoreTheFolderRelativeAndTheReset) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString other = s.home() + QStringLiteral("/other");
    makeStepFolder(other + '/', 5);

    ASSERT_TRUE(s.menu(kFile, QStringLiteral("保存先フォルダの変更")));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("保存先フォルダの変更"), other));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 5; }, 8000)) << s.rowCount();
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("保存先フォルダの変更")));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("保存先フォルダの変更"), s.home() + "/data"));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() > 5; }, 8000)) << s.rowCount();
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("保存先フォルダの変更")));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("保存先フォルダの変更"), other));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 5; }, 8000));

    // Back to "data" after a question; "No" keeps the folder.
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("保存先を既定値（data）に戻す")));
    ASSERT_TRUE(s.answer(QStringLiteral("保存先変更"), Answer::No));
    pause(300);
    EXPECT_TRUE(s.title().contains(QStringLiteral("other")));
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("保存先を既定値（data）に戻す")));
    ASSERT_TRUE(s.answer(QStringLiteral("保存先変更"), Answer::Yes));
    ASSERT_TRUE(s.answer(QStringLiteral("保存先変更"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return s.title().contains(QStringLiteral("data")); }));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() > 5; }, 8000));
    EXPECT_EQ(s.ran(),
              QStringList({"mnuChangeFolder", "mnuPicListChangeFolder", "mnuChangeFolder",
                           "mnuPicListResetFolder", "mnuPicListResetFolder"}));
    EXPECT_TRUE(s.close());
    EXPECT_EQ(confValue(s.home(), QStringLiteral("save folder path")), QStringLiteral("data"));
}

TEST(Folders, ReloadReadsTheListAgain) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    // Another program rewrites the list: five steps.
    makeStepFolder(s.folder(), 5);
    ASSERT_TRUE(s.row(12).rect.isValid());
    ASSERT_TRUE(s.select(2));
    s.ui().key(QStringLiteral("F5"));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 5; }, 8000)) << s.rowCount();
    makeStepFolder(s.folder(), 7);
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("再読み込み")));
    EXPECT_TRUE(waitUntil([&] { return s.rowCount() == 7; }, 8000)) << s.rowCount();
    EXPECT_EQ(s.ran(), QStringList({"mnuReload", "mnuReload"}));
    EXPECT_TRUE(s.close());
}
