// Recording on the real desktop: the main window records what the user does
// in the fixture application.
#include "record/runmode.h"
#include "record/waitmarker.h"
#include "store/capturefolder.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "tests/desktop/recordingsession.h"
#include "ui/frmklavoro.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class Recording : public ::testing::Test {
protected:
    static void TearDownTestSuite() { stopRecordingFixture(); }
    void SetUp() override {
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        s.desktop.setForegroundWindow(fixture.window());
        pause(100);
    }
    QPoint at(const QString& name, QPoint offset = {}) { return fixture.centre(name) + offset; }

    FixtureApp& fixture = recordingFixture();
    RecordingSession s;
};

} // namespace

TEST_F(Recording, AClickElsewhereIsADescribedSavedStepAndNothingElseIs) {
    QWidget own;
    own.setGeometry(300, 820, 200, 80);
    own.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&own));
    ASSERT_TRUE(s.start());
    EXPECT_TRUE(s.window().isMinimized() || !s.window().isVisible());

    s.click(at("OK"));
    ASSERT_TRUE(s.waitForSteps(1));
    s.click(QPoint(400, 860)); // our own window
    s.type("a");               // a key is never a step of its own
    pause(300);
    ASSERT_TRUE(s.stop());
    EXPECT_EQ(s.stepCount(), 1);
    EXPECT_EQ(s.sentence(1), "[OK](ボタン)を、クリックします。");
    const QImage image = s.image(1);
    EXPECT_EQ(image.size(), QSize(300, 300));
    EXPECT_GT(redPixels(image), 50); // the marker around the button
    EXPECT_TRUE(s.opList().contains(s.imageName(1)));
    EXPECT_TRUE(fixture.waitForLine("clicked OK"));
    EXPECT_FALSE(s.window().isMinimized());
}

TEST_F(Recording, DragsNeedFivePixelsWithTheButtonHeld) {
    ASSERT_TRUE(s.start());
    const QPoint from = fixture.geometry("patch").topLeft() + QPoint(20, 20);
    s.moveTo(from);
    s.press();
    s.moveTo(from + QPoint(4, 4));
    s.release();
    ASSERT_TRUE(s.waitForSteps(1));
    s.moveTo(from + QPoint(40, 0));
    s.press();
    s.moveTo(from + QPoint(45, 0));
    s.release();
    ASSERT_TRUE(s.waitForSteps(3));
    s.moveTo(from + QPoint(0, 10));
    s.press(MouseButton::Middle);
    s.moveTo(from + QPoint(20, 10));
    s.release(MouseButton::Middle);
    ASSERT_TRUE(s.waitForSteps(5))
        << s.stepCount() << " " << s.sentence(s.stepCount()).toStdString() << " status "
        << s.window().statusText().toStdString();
    pause(200);
    ASSERT_TRUE(s.stop());
    ASSERT_EQ(s.stepCount(), 5);
    EXPECT_TRUE(s.sentence(3).endsWith("ドラッグします。"));
    EXPECT_FALSE(s.sentence(3).contains("中"));
    EXPECT_TRUE(s.sentence(4).endsWith("中クリックします。"));
    EXPECT_TRUE(s.sentence(5).endsWith("中ドラッグします。"));
}

// Here a right press opens the context menu at once (on Windows it opens at
// the release): a right drag from a field then ends on that menu, and is
// still the drag across the field that the user made.
TEST_F(Recording, ARightDragEndsOnTheFieldItStartedOnNotOnTheMenuItsPressOpened) {
    ASSERT_TRUE(s.start());
    const QPoint from = at("メモ", QPoint(-30, 0));
    s.moveTo(from);
    s.press(MouseButton::Right);
    pause(300); // the menu is open under the pointer
    s.moveTo(from + QPoint(20, 8), 30);
    s.moveTo(from + QPoint(40, 12), 30);
    const WindowId over = s.desktop.topLevelWindow(s.desktop.windowAt(from + QPoint(40, 12)));
    s.release(MouseButton::Right);
    ASSERT_TRUE(s.waitForSteps(2));
    s.hand.sendKey(0x1B, false); // Escape: the menu closes, if it stayed
    s.hand.sendKey(0x1B, true);
    pause(200);
    ASSERT_TRUE(s.stop());
    ASSERT_NE(over, fixture.window()) << "no menu opened at the press";
    ASSERT_EQ(s.stepCount(), 2);
    EXPECT_TRUE(s.sentence(1).endsWith("を、右クリックします。")) << s.sentence(1).toStdString();
    QString dragged = s.sentence(1);
    dragged.replace("右クリック", "右ドラッグ");
    EXPECT_EQ(s.sentence(2).toStdString(), dragged.toStdString());
}

TEST_F(Recording, ADragEndsInTheWindowAsItWasAtThePressWhenItsReleaseChoseAMenuItem) {
    // An editor that marks its title while edited: the right press opens the
    // context menu, and the release on its first item (Undo) takes the edit
    // back, the mark with it, and closes the menu, all before the end of the
    // drag is read.
    FixtureApp editor({QStringLiteral("--title"), QStringLiteral("Editor"), QStringLiteral("--pos"),
                       QStringLiteral("600,40"), QStringLiteral("--mark-edited")});
    ASSERT_TRUE(editor.start());
    s.desktop.setForegroundWindow(editor.window());
    const QPoint from = editor.centre("メモ") + QPoint(-30, 0);
    s.click(from);
    s.type(QStringLiteral("abc"));
    ASSERT_TRUE(editor.waitForLine("memo abc"));
    ASSERT_TRUE(waitUntil([&] { return s.desktop.windowTitle(editor.window()) == "*Editor"; }))
        << s.desktop.windowTitle(editor.window()).toStdString();
    ASSERT_TRUE(s.start());
    s.press(MouseButton::Right);
    pause(300); // the menu is open under the pointer
    s.moveTo(from + QPoint(20, 8), 30);
    s.moveTo(from + QPoint(40, 12), 30);
    s.release(MouseButton::Right);
    ASSERT_TRUE(s.waitForSteps(2));
    ASSERT_TRUE(editor.waitForLine("memo")) << "the release chose no Undo";
    ASSERT_TRUE(s.stop());
    ASSERT_EQ(s.stepCount(), 2);
    EXPECT_EQ(s.sentence(1).toStdString(), "[*Editor]の(テキスト)を、右クリックします。");
    EXPECT_EQ(s.sentence(2).toStdString(), "[*Editor]の(テキスト)を、右ドラッグします。");
}

TEST_F(Recording, MaximumOfThreeAsksAndYesWrapsAndNoStops) {
    conf().maxCnt = 3;
    s.answers().answer = true;
    ASSERT_TRUE(s.start());
    const QPoint p = fixture.geometry("patch").topLeft() + QPoint(10, 10);
    for (int i = 0; i < 3; ++i)
        s.click(p + QPoint(i * 20, 0));
    ASSERT_TRUE(s.waitForSteps(3));
    ASSERT_TRUE(waitUntil([&] { return s.answers().titles.contains("続行？"); }));
    const QString first = s.imageName(1);
    s.click(p + QPoint(70, 0));
    ASSERT_TRUE(waitUntil([&] { return s.imageName(1) != first; }));
    EXPECT_EQ(s.stepCount(), 3);
    s.answers().answer = false;
    s.click(p + QPoint(0, 20));
    s.click(p + QPoint(20, 20)); // step 3 again: the question, answered No
    ASSERT_TRUE(waitUntil([&] { return runMode().isIdle(); }));
    EXPECT_EQ(s.answers().titles.count("続行？"), 2);
    EXPECT_EQ(s.stepCount(), 3);
}

TEST_F(Recording, StartingAnewDeletesTheOldStepsWithTheirFiles) {
    ASSERT_TRUE(s.start());
    s.click(at("OK"));
    s.click(at("キャンセル"));
    ASSERT_TRUE(s.waitForSteps(2));
    ASSERT_TRUE(s.stop());
    const QString oldImage = s.imagePath(1);
    ASSERT_TRUE(QFile::exists(oldImage));
    s.answers().answer3 = Dialogs::Answer::Yes;
    s.answers().answerOk = true;
    ASSERT_TRUE(s.start());
    EXPECT_TRUE(s.answers().titles.contains("新規確認"));
    EXPECT_EQ(s.stepCount(), 0);
    EXPECT_FALSE(QFile::exists(oldImage));
    s.click(at("OK"));
    ASSERT_TRUE(s.waitForSteps(1));
    EXPECT_EQ(s.window().txtNo->text().toInt(), 1);
}

TEST_F(Recording, NoMarkerWithoutRectPointAndAPlainCopyWithNoRectFile) {
    conf().rectPoint = 0;
    conf().noRectFile = 1;
    ASSERT_TRUE(s.start());
    s.click(at("OK"));
    ASSERT_TRUE(s.waitForSteps(1));
    ASSERT_TRUE(s.stop());
    EXPECT_EQ(redPixels(s.image(1)), 0);
    const QString plain = captureFolder() + "NO_RECT/" + s.imageName(1) + ".jpg";
    EXPECT_TRUE(QFile::exists(plain));
    EXPECT_EQ(redPixels(QImage(plain)), 0);
}

TEST_F(Recording, CancelledCaptureKeepsTheNumber) {
    conf().rectRight = conf().rectLeft + 2;
    ASSERT_TRUE(s.start());
    s.click(at("OK"));
    ASSERT_TRUE(waitUntil([&] { return s.window().statusText() == "%%%% cancel %%%%"; }));
    EXPECT_EQ(s.stepCount(), 0);
    ASSERT_TRUE(s.stop());
    conf().rectRight = 150;
    ASSERT_TRUE(s.start());
    s.click(at("OK"));
    ASSERT_TRUE(s.waitForSteps(1));
    EXPECT_EQ(s.window().txtNo->text().toInt(), 1);
}

TEST_F(Recording, TypedTextIsAStepAndAPasswordNeverItsText) {
    ASSERT_TRUE(s.start());
    s.click(at("名前"));
    s.type("abc");
    pause(200);
    const QRect name = fixture.geometry("名前");
    s.click(QPoint(name.center().x(), name.bottom() + 20)); // the password field below it
    s.type("zq9");
    pause(200);
    s.click(at("OK"));
    ASSERT_TRUE(s.waitForSteps(5));
    ASSERT_TRUE(s.stop());
    EXPECT_EQ(s.sentence(2), "(名前)で\"abc\"を入力します。");
    EXPECT_TRUE(s.imageName(2).isEmpty());
    EXPECT_EQ(s.sentence(4), "(パスワード)でパスワードを入力します。");
    EXPECT_FALSE(s.opList().contains("zq9"));
    EXPECT_TRUE(fixture.waitForLine("text abc"));
}

TEST_F(Recording, GtkApplicationAndItsPasswordEntry) {
    FixtureApp gtk(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(KLAVORO_GTK_FIXTURE), QStringLiteral("600,120")});
    ASSERT_TRUE(gtk.start());
    s.desktop.setForegroundWindow(gtk.window());
    pause(300);
    ASSERT_TRUE(s.start());
    s.click(gtk.centre("適用"));
    ASSERT_TRUE(s.waitForSteps(1));
    s.click(gtk.centre("暗証番号"));
    s.type("k7");
    pause(200);
    ASSERT_TRUE(gtk.waitForLine("secret length 2"));
    s.click(gtk.centre("適用"));
    ASSERT_TRUE(s.waitForSteps(4)) << s.stepCount();
    ASSERT_TRUE(s.stop());
    EXPECT_EQ(s.sentence(1), "[適用](ボタン)を、クリックします。");
    EXPECT_TRUE(s.sentence(3).endsWith("パスワードを入力します。"));
    EXPECT_FALSE(s.opList().contains("k7"));
}
