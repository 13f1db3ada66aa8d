// The help entries, the debug menu behind a double click on the step number,
// the thumbnail strip's check marks and sizes, and the end command.
#include "store/stepline.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

TEST(WindowCommands, HelpAndTheDebugLog) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.menu(QStringLiteral("ヘルプ"), QStringLiteral("ホットキー一覧")));
    const QString hint = s.dialogText(QStringLiteral("ホットキー一覧"));
    EXPECT_TRUE(hint.contains(QStringLiteral("Ctrl+Shift+E")) &&
                hint.contains(QStringLiteral("記録終了")))
        << hint.toStdString();
    ASSERT_TRUE(s.answer(QStringLiteral("ホットキー一覧"), Answer::Ok));
    ASSERT_TRUE(s.menu(QStringLiteral("ヘルプ"), QStringLiteral("バージョン情報")));
    EXPECT_TRUE(s.dialogText(QStringLiteral("バージョン情報")).contains(QStringLiteral("クラヴォロ")));
    ASSERT_TRUE(s.answer(QStringLiteral("バージョン情報"), Answer::Ok));

    // The debug menu shows after a double click on the step number, the
    // first box of the detail fields.
    UiElement number;
    for (const UiElement& e : s.mainElements())
        if (e.role == QLatin1String("text") &&
            (!number || e.rect.left() < number.rect.left() ||
             (e.rect.left() == number.rect.left() && e.rect.top() < number.rect.top())))
            number = e;
    ASSERT_TRUE(number);
    EXPECT_FALSE(s.ui().find(QStringLiteral("menu item"), QStringLiteral("デバッグ"), 300, s.title()));
    s.ui().doubleClick(number.centre());
    ASSERT_TRUE(s.menu(QStringLiteral("デバッグ"), QStringLiteral("ログファイルを開く")));
    // Opened as a file address: file:///.../log.txt.
    EXPECT_TRUE(waitUntil([&] {
        return QUrl::fromUserInput(s.opened().value(s.opened().size() - 1)).toLocalFile() ==
               s.home() + QStringLiteral("/log.txt");
    })) << s.opened().value(s.opened().size() - 1).toStdString();
    EXPECT_EQ(s.ran(), QStringList({"mnuHint", "mnuVersion", "mnuDebugLog"}));
    EXPECT_TRUE(s.close());
}

TEST(WindowCommands, TheStripsCheckMarksAndSizes) {
    ProgramSession::Options options = ProgramSession::checked({3});
    options.conf = QStringList{QStringLiteral("thumbnail mag = 0.5")};
    ProgramSession s(options);
    ASSERT_TRUE(s.ready());
    const auto marks = [&] { return opListField(s.folder(), 6); };
    ASSERT_TRUE(s.menu(QStringLiteral("表示"), QStringLiteral("全てチェック ON")));
    EXPECT_TRUE(waitUntil([&] { return marks() == QStringList(30, kCheckMark); })) << "not all ticked";
    auto tile = [&] {
        const QRect strip = s.strip().rect;
        for (const UiElement& e : s.mainElements(true))
            if (e.role == QLatin1String("list item") && strip.contains(e.rect.center()))
                return e;
        return UiElement();
    };
    ASSERT_TRUE(tile());
    s.stripMenu(QStringLiteral("全てチェック OFF"));
    EXPECT_TRUE(waitUntil([&] { return marks() == QStringList(30, QString()); })) << "still ticked";
    s.stripMenu(QStringLiteral("全てチェック ON"));
    EXPECT_TRUE(waitUntil([&] { return marks() == QStringList(30, kCheckMark); }));
    ASSERT_TRUE(s.menu(QStringLiteral("表示"), QStringLiteral("全てチェック OFF")));
    EXPECT_TRUE(waitUntil([&] { return marks() == QStringList(30, QString()); }));

    // Larger by 1.3, smaller by 0.7 each time.
    const int width = tile().rect.width();
    ASSERT_TRUE(s.menu(QStringLiteral("表示"), QStringLiteral("サムネイルサイズ＋")));
    EXPECT_TRUE(waitUntil([&] { return tile().rect.width() > width; })) << "not larger";
    const int larger = tile().rect.width();
    s.stripMenu(QStringLiteral("サムネイルサイズ＋"));
    EXPECT_TRUE(waitUntil([&] { return tile().rect.width() > larger; }));
    const int largest = tile().rect.width();
    s.stripMenu(QStringLiteral("サムネイルサイズ－"));
    EXPECT_TRUE(waitUntil([&] { return tile().rect.width() < largest; }));
    const int smaller = tile().rect.width();
    ASSERT_TRUE(s.menu(QStringLiteral("表示"), QStringLiteral("サムネイルサイズ－")));
    EXPECT_TRUE(waitUntil([&] { return tile().rect.width() < smaller; })) << "not smaller";
    EXPECT_EQ(s.ran(),
              QStringList({"mnuThumbListCheckAll_1", "mnuThumbListCheckAll_0",
                           "mnuThumbListCheckAll_1", "mnuThumbListCheckAll_0",
                           "mnuThumbListSize_0", "mnuThumbListSize_0", "mnuThumbListSize_1",
                           "mnuThumbListSize_1"}));
    EXPECT_TRUE(s.close());
    EXPECT_NEAR(confValue(s.home(), QStringLiteral("thumbnail mag")).toDouble(),
                0.5 * 1.3 * 1.3 * 0.7 * 0.7, 0.001);
}

TEST(WindowCommands, TheEndCommandSavesAndEnds) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    QFile::remove(s.home() + QStringLiteral("/Conf.txt"));
    ASSERT_TRUE(s.menu(QStringLiteral("ファイル"), QStringLiteral("終了")));
    EXPECT_TRUE(s.ui().find(QStringLiteral("label"), QStringLiteral("終了します！"), 900))
        << "no notice before the end";
    ASSERT_TRUE(s.run().waitForExit(5000));
    EXPECT_EQ(s.run().process().exitCode(), 0);
    EXPECT_FALSE(confValue(s.home(), QStringLiteral("disp")).isNull()) << "settings not saved";
    EXPECT_EQ(opListLines(s.folder()).size(), 30);
    // Start-up arms the input timer through its command.
    EXPECT_EQ(s.run().commandsRun(), QStringList({"Timer_MsgLoop", "mnuEnd2"}));
}
