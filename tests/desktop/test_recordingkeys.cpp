// The recording hot keys and the area selection on the real desktop.
#include "record/runmode.h"
#include "store/settings.h"
#include "store/startoptions.h"
#include "tests/desktop/recordingsession.h"
#include "ui/frmklavoro.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class RecordingKeys : public ::testing::Test {
protected:
    static void TearDownTestSuite() { stopRecordingFixture(); }
    void SetUp() override {
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        s.desktop.setForegroundWindow(fixture.window());
        pause(100);
    }
    QPoint patch(int dx = 0, int dy = 0) {
        return fixture.geometry("patch").topLeft() + QPoint(10 + dx, 10 + dy);
    }
    // The lines of the area overlay that are on the screen now.
    QList<QRect> overlayLines() {
        QList<QRect> lines;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Line1") && w->isVisible()) lines << w->geometry();
        return lines;
    }

    FixtureApp& fixture = recordingFixture();
    RecordingSession s;
};

} // namespace

TEST_F(RecordingKeys, EndHotKeyWhileTheButtonIsDownEndsAfterThatStep) {
    ASSERT_TRUE(s.start());
    s.moveTo(patch());
    s.press();
    s.hotKey('E');
    s.release();
    ASSERT_TRUE(waitUntil([] { return runMode().isIdle(); }));
    EXPECT_EQ(s.stepCount(), 1);
}

TEST_F(RecordingKeys, PauseTwiceResumesWithTheHintInBlack) {
    ASSERT_TRUE(s.start());
    s.hotKey('Z');
    EXPECT_EQ(s.window().messageText(), "自動キャプチャー停止中");
    s.click(patch());
    s.hotKey('Z');
    EXPECT_EQ(s.window().messageText(), "Ctrl+Shift+Eで記録終了");
    EXPECT_FALSE(s.window().lblMsg->styleSheet().contains("#ff0000"));
    s.click(patch(20));
    ASSERT_TRUE(s.waitForSteps(1));
    pause(200);
    EXPECT_EQ(s.stepCount(), 1);
}

TEST_F(RecordingKeys, ManualStartTakesOnlyManualCaptures) {
    ASSERT_TRUE(s.start("mnuGo_1"));
    EXPECT_EQ(s.window().messageText(), "自動キャプチャー停止中");
    s.click(patch());
    pause(200);
    EXPECT_EQ(s.stepCount(), 0);
    s.hotKey('S');
    ASSERT_TRUE(s.waitForSteps(1));
    EXPECT_TRUE(s.sentence(1).isEmpty());
    s.hotKey('Z');
    s.click(patch(20));
    ASSERT_TRUE(s.waitForSteps(2));
}

TEST_F(RecordingKeys, NoHotKeysWhenAllAreEmptyOrInDebugMode) {
    for (QString* k :
         {&conf().hotkey0, &conf().hotkey1, &conf().hotkey2, &conf().hotkey3, &conf().hotkey4})
        k->clear();
    ASSERT_TRUE(s.start());
    s.hotKey('E');
    pause(200);
    EXPECT_TRUE(s.isRecording());
    ASSERT_TRUE(s.stop());
    conf().hotkey3 = QStringLiteral("E");
    StartOptions debug;
    debug.debug = true;
    s.window().setStartOptions(debug);
    ASSERT_TRUE(s.start());
    s.hotKey('E');
    pause(200);
    EXPECT_TRUE(s.isRecording());
}

TEST_F(RecordingKeys, AreaSelectionCapturesTheMarkedAreaWithoutItsLines) {
    ASSERT_TRUE(s.start());
    s.hotKey('C');
    EXPECT_EQ(s.window().messageText(), "範囲選択可");
    s.moveTo({500, 400});
    s.hand.sendKey(16, false);
    pause(60);
    for (int i = 1; i <= 10; ++i)
        s.moveTo({500 - i * 20, 400 - i * 20}, 20);
    pause(60);
    const QList<QRect> lines = overlayLines();
    ASSERT_EQ(lines.size(), 4);
    QRect outline;
    for (const QRect& r : lines)
        outline |= r;
    EXPECT_EQ(outline, QRect(299, 199, 202, 202)); // one pixel outside 300..500 x 200..400
    s.hand.sendKey(16, true);
    pause(60);
    const QImage screen = s.screen.copy(QRect(300, 200, 200, 200));
    s.hotKey('S');
    ASSERT_TRUE(s.waitForSteps(1));
    EXPECT_TRUE(overlayLines().isEmpty());
    const QImage image = s.image(1);
    ASSERT_EQ(image.size(), QSize(200, 200));
    // The picture is the area, pointer aside; the red lines are not in it.
    int same = 0;
    for (int y = 0; y < 200; y += 10)
        for (int x = 0; x < 200; x += 10) {
            const QColor a = image.pixelColor(x, y), b = screen.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                    std::abs(a.blue() - b.blue()) <
                40)
                ++same;
        }
    EXPECT_GT(same, 350);

    // A selection of 2 x 2 pixels is refused.
    s.hotKey('C');
    s.moveTo({600, 600});
    s.hand.sendKey(16, false);
    pause(60);
    s.moveTo({602, 602});
    s.hand.sendKey(16, true);
    pause(60);
    s.hotKey('S');
    ASSERT_TRUE(waitUntil([&] { return s.window().statusText() == "%%%% cancel %%%%"; }));
    EXPECT_EQ(s.stepCount(), 1);
}
