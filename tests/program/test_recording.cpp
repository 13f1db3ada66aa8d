// Recording started from the record button (left and right click) and the
// record menu, stopped from the button, the menu and the hot key; a click in
// another application becomes a step; typed text becomes one step per field.
#include "store/stepline.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"
#include "tests/program/stepfolder.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct RecordingTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(fixture.start());
        ASSERT_TRUE(session.ready());
    }
    // Recording runs once the program waits for the next click.
    bool recording() {
        return waitUntil([&] { return QFile::exists(session.home() + QStringLiteral("/wait")); },
                         8000);
    }
    bool idle() {
        return waitUntil([&] { return !QFile::exists(session.home() + QStringLiteral("/wait")); },
                         8000);
    }
    void clickOk() {
        session.ui().clickOn(QStringLiteral("Recorded App"), fixture.centre(QStringLiteral("OK")));
        EXPECT_TRUE(fixture.waitForLine(QStringLiteral("clicked OK")));
        pause(400); // the step is taken from the press; give it its time
    }
    // The main window back in front (the front/back hot key), for its stop.
    void bringBack() {
        session.ui().key(QStringLiteral("Ctrl+Shift+f"));
        EXPECT_TRUE(waitUntil([&] { return session.button(QStringLiteral("停止")).enabled; }, 5000))
            << "the main window did not come back";
    }
    int steps() { return opListLines(session.folder()).size(); }

    FixtureApp fixture{{QStringLiteral("--title"), QStringLiteral("Recorded App"),
                        QStringLiteral("--pos"), QStringLiteral("640,420")}};
    ProgramSession session;
};

} // namespace

TEST_F(RecordingTest, TheRecordButtonAndTheMenuStartAndStop) {
    ProgramSession& s = session;
    // 記録 with steps in the list asks whether to start anew; No appends.
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("記録"), s.title()));
    EXPECT_TRUE(s.dialogText(QStringLiteral("削除確認")).contains(QStringLiteral("31 から追加")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(recording());
    clickOk();
    bringBack();
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("停止"), QString()));
    ASSERT_TRUE(idle());
    EXPECT_TRUE(waitUntil([&] { return steps() == 31; }, 8000)) << steps();
    const QString line = opListLines(s.folder()).value(30);
    EXPECT_TRUE(line.contains(QStringLiteral("[OK](ボタン)"))) << line.toStdString();
    const QString image = s.folder() + line.section('\t', 1, 1).trimmed() + QStringLiteral(".jpg");
    EXPECT_FALSE(QImage(image).isNull()) << image.toStdString();

    ASSERT_TRUE(s.menu(QStringLiteral("記録"), QStringLiteral("開始")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(recording());
    clickOk();
    bringBack();
    ASSERT_TRUE(s.menu(QStringLiteral("記録"), QStringLiteral("停止  Ctrl+F2")));
    ASSERT_TRUE(idle());
    EXPECT_TRUE(waitUntil([&] { return steps() == 32; }, 8000)) << steps();
    EXPECT_EQ(s.ran(), QStringList({"cmdGo", "cmdStop", "mnuGo_0", "mnuStop"}));
    EXPECT_TRUE(s.close());
}

TEST_F(RecordingTest, ManualCaptureFromTheMenuAndTheButtonsRightClick) {
    ProgramSession& s = session;
    // Clicks make no step; the manual-capture hot key does.
    ASSERT_TRUE(s.menu(QStringLiteral("記録"), QStringLiteral("開始（手動キャプチャー）")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(recording());
    clickOk();
    s.ui().key(QStringLiteral("Ctrl+Shift+s"));
    pause(500);
    s.ui().key(QStringLiteral("Ctrl+Shift+e")); // the end hot key
    ASSERT_TRUE(idle());
    EXPECT_TRUE(waitUntil([&] { return steps() == 31; }, 8000)) << steps();

    // The right click: the button's own click, started with capture paused.
    s.ui().click(s.button(QStringLiteral("記録")).centre(), MouseButton::Right);
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(recording());
    clickOk();
    s.ui().key(QStringLiteral("Ctrl+Shift+e"));
    ASSERT_TRUE(idle());
    pause(500);
    EXPECT_EQ(steps(), 31) << "a click made a step while capture was paused";
    EXPECT_EQ(s.ran(), QStringList({"mnuGo_1", "cmdGo_Right", "cmdGo"}));
    EXPECT_TRUE(s.close());
}

TEST(Recording, TypedTextIsOneStepPerFieldInOrderAndNoPassword) {
    // Clear of the main window; Enter as text, so that the line break stays
    // in the memo's text.
    FixtureApp fixture({QStringLiteral("--title"), QStringLiteral("Typed App"),
                        QStringLiteral("--pos"), QStringLiteral("20,20")});
    ASSERT_TRUE(fixture.start());
    ProgramSession s(ProgramSession::conf({QStringLiteral("key record char = 0")}));
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.menu(QStringLiteral("記録"), QStringLiteral("開始")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(s.home() + "/wait"); }, 8000));
    const QRect name = fixture.geometry(QStringLiteral("名前"));
    // The space is text, the line break stays in the memo's text, and each
    // field's text comes before the press that left it.
    s.ui().click(name.center());
    pause(300);
    s.ui().type(QStringLiteral("a b"));
    s.ui().click(fixture.centre(QStringLiteral("メモ")));
    pause(300);
    s.ui().type(QStringLiteral("x\ny"));
    s.ui().click(QPoint(name.center().x(), name.bottom() + 20)); // the password field
    pause(300);
    s.ui().type(QStringLiteral("zq9"));
    s.ui().click(fixture.centre(QStringLiteral("OK")));
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("clicked OK")));
    pause(400);
    s.ui().key(QStringLiteral("Ctrl+Shift+e"));
    ASSERT_TRUE(waitUntil([&] { return !QFile::exists(s.home() + "/wait"); }, 8000));
    waitUntil([&] { return opListLines(s.folder()).size() >= 37; }, 8000);
    const QStringList lines = opListLines(s.folder());
    QStringList got;
    for (int i = 30; i < lines.size(); ++i)
        got << lineField(lines[i], FieldMessage);
    ASSERT_EQ(got.size(), 7) << got.join(u'\n').toStdString();
    EXPECT_TRUE(got[0].contains(QStringLiteral("名前"))) << got[0].toStdString();
    EXPECT_EQ(got[1], QStringLiteral("(名前)で\"a b\"を入力します。"));
    EXPECT_TRUE(got[2].contains(QStringLiteral("メモ"))) << got[2].toStdString();
    EXPECT_EQ(got[3],
              QStringLiteral("(メモ)で\"x") + QChar(4) + QStringLiteral("y\"を入力します。"));
    EXPECT_TRUE(got[5].endsWith(QStringLiteral("パスワードを入力します。")))
        << got[5].toStdString();
    EXPECT_TRUE(got[6].contains(QStringLiteral("[OK](ボタン)"))) << got[6].toStdString();
    EXPECT_FALSE(readBytes(s.folder() + QStringLiteral("OpList.txt")).contains("zq9"));
    EXPECT_TRUE(s.close());
}

TEST(Recording, NewOnAFolderWithStepsReplacesThemAfterAsking) {
    FixtureApp fixture({QStringLiteral("--title"), QStringLiteral("Recorded App"),
                        QStringLiteral("--pos"), QStringLiteral("640,420")});
    ASSERT_TRUE(fixture.start());
    ProgramSession s(ProgramSession::args({QStringLiteral("-new")}));
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("記録"), s.title()));
    ASSERT_TRUE(s.answer(QStringLiteral("新規確認"), Answer::Ok));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(s.home() + "/wait"); }, 8000))
        << "recording did not start";
    for (int i = 1; i <= 30; ++i)
        EXPECT_FALSE(QFile::exists(s.folder() + stepName(i) + ".jpg")) << "step " << i;
    EXPECT_FALSE(QDir(s.folder() + QStringLiteral("tmp_del")).exists());
    s.ui().clickOn(QStringLiteral("Recorded App"), fixture.centre(QStringLiteral("OK")));
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("clicked OK")));
    pause(400);
    s.ui().key(QStringLiteral("Ctrl+Shift+e"));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(s.home() + "/wait"); }, 8000));
    EXPECT_TRUE(waitUntil([&] { return opListLines(s.folder()).size() == 1; }, 8000))
        << opListLines(s.folder()).size();
    EXPECT_TRUE(s.close());
}

TEST(Recording, AutoStartKeepsTheMainWindowOutOfTheWayAndBringsItBack) {
    if (!withWindowManager())
        GTEST_SKIP() << "without a window manager it is hidden, not minimised";
    // The application stands where the main window would: its OK is reached
    // (and pictured) only when the main window is out of the way.
    FixtureApp fixture({QStringLiteral("--title"), QStringLiteral("Auto App"),
                        QStringLiteral("--pos"), QStringLiteral("200,200")});
    ASSERT_TRUE(fixture.start());
    ProgramRun run;
    writeConf(run.home(),
              {QStringLiteral("form left = 100"), QStringLiteral("form top = 100"),
               QStringLiteral("form right = 900"), QStringLiteral("form bottom = 700")});
    ASSERT_TRUE(run.start({QStringLiteral("-auto")}));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(run.home() + "/wait"); }, 10000))
        << "-auto did not start recording";
    const auto recordingWindow = [&] { return run.waitForWindow(QStringLiteral(" - Start"), 100); };
    EXPECT_TRUE(waitUntil([&] {
        const ClientWindow w = recordingWindow();
        return w.id && w.iconic && !w.viewable;
    })) << "the main window stayed on the screen";
    pause(500); // nothing left over from start-up brings it back
    const ClientWindow out = recordingWindow();
    EXPECT_TRUE(out.iconic && !out.viewable) << "the main window came back while recording";

    UiDriver ui(run.process().processId());
    ui.clickOn(QStringLiteral("Auto App"), fixture.centre(QStringLiteral("OK")));
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("clicked OK")));
    pause(400);
    ui.key(QStringLiteral("Ctrl+Shift+e"));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(run.home() + "/wait"); }, 8000));
    const QString folder = run.home() + QStringLiteral("/data/");
    EXPECT_TRUE(waitUntil([&] { return opListLines(folder).size() == 1; }, 8000));
    EXPECT_TRUE(opListLines(folder).value(0).contains(QStringLiteral("[OK](ボタン)")))
        << opListLines(folder).value(0).toStdString();
    ClientWindow back;
    EXPECT_TRUE(waitUntil([&] {
        back = run.waitForMainWindow(100);
        return back.id && back.viewable && !back.iconic;
    })) << "the stop did not bring the main window back";
    if (back.id) run.requestClose(back.id);
    EXPECT_TRUE(run.waitForExit());
}
