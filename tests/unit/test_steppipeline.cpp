#include "capture/imageprobe.h"
#include "record/steppipeline.h"
#include "record/waitmarker.h"
#include "recordingrig.h"
#include "store/capturefolder.h"
#include "store/sjis.h"
#include "store/stepline.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Forward : HookReceiver {
    StepPipeline* pipeline = nullptr;
    void hookMessage(const InputMessage& m) override { pipeline->handleMessage(m); }
};

class Pipeline : public ::testing::Test, protected RecordingRig {
protected:
    Pipeline() {
        forward.pipeline = &pipeline;
        hook.SetHook(&forward, 0);
        pipeline.start(0);
    }
    // Every captured step written and committed.
    void settle() { pipeline.committer().finish(); }
    QString sentence(int n) const { return steps.field(n, FieldMessage); }
    QString imagePath(int n) const {
        return captureFolder() + steps.field(n, FieldImageName) + '.' +
               steps.field(n, FieldExtension);
    }
    QString opListText() const { return fromShiftJis(readBytes(captureFolder() + "OpList.txt")); }

    StepPipeline pipeline{services, poller, steps, ops, host, options};
    Forward forward;
};

QColor colourAt(const QString& path, QPoint p) {
    return QImage(path).pixelColor(p);
}

} // namespace

TEST_F(Pipeline, PressIsOneDescribedStepWhoseImageIsWrittenBeforeTheListNamesIt) {
    ASSERT_TRUE(click(okCentre()));
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(sentence(1), "[OK](ボタン)を、クリックします。");
    EXPECT_EQ(probeImageSize(imagePath(1)).type, ImageSize::Jpeg);
    EXPECT_TRUE(QFile::exists(thumbnailPath(captureFolder(), steps.field(1, FieldImageName))));
    ASSERT_FALSE(host.details.isEmpty());
    EXPECT_EQ(host.details.last().no, "001");
    EXPECT_EQ(host.details.last().pos, "140,112");
    EXPECT_EQ(host.details.last().event, "Left");
    EXPECT_EQ(host.saved, QList<int>{1});
    EXPECT_TRUE(opListText().contains(steps.field(1, FieldImageName)));
    EXPECT_TRUE(host.statusTexts().contains("取得中・・・"));
    EXPECT_TRUE(waitMarkerExists());
    EXPECT_EQ(host.events.first().first, "Left");
}

TEST_F(Pipeline, OwnWindowKeysWheelAndActivationAreNoSteps) {
    click(QPoint(1000, 100)); // our own window
    hook.key(65, false);
    hook.key(65, true);
    hook.wheel(120, okCentre());
    hook.activate(kApp);
    settle();
    EXPECT_EQ(steps.count(), 0);
    EXPECT_TRUE(host.details.isEmpty());
    EXPECT_GT(host.informationCalls, 0); // the information labels still follow
}

TEST_F(Pipeline, DragNeedsFivePixelsWithTheButtonHeld) {
    const QPoint from(300, 300);
    press(from);
    move(from + QPoint(2, 2));
    release(from + QPoint(4, 4));
    settle();
    EXPECT_EQ(steps.count(), 1);

    press(from);
    move(from + QPoint(3, 0));
    release(from + QPoint(5, 0));
    settle();
    ASSERT_EQ(steps.count(), 3);
    EXPECT_EQ(host.details.last().event, "LDrag");
    EXPECT_EQ(sentence(3), "[Fixture]を、ドラッグします。");

    // A move without a button held: no drag candidate.
    desktop.setPointer(from);
    hook.mouse(kLeftDown, from);
    move(from + QPoint(25, 0));
    hook.mouse(kLeftUp, from + QPoint(50, 0));
    settle();
    EXPECT_EQ(steps.count(), 4);

    press(from, kMiddleDown);
    move(from + QPoint(10, 0));
    release(from + QPoint(20, 0), kMiddleDown);
    settle();
    ASSERT_EQ(steps.count(), 6);
    EXPECT_EQ(host.details.last().event, "MDrag");
    EXPECT_TRUE(sentence(6).endsWith("中ドラッグします。"));
}

TEST_F(Pipeline, DoubleClickRewritesTheClickItFollows) {
    press(okCentre());
    release(okCentre());
    hook.mouse(kLeftDblClk, okCentre());
    release(okCentre());
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(sentence(1), "[OK](ボタン)を、ダブルクリックします。");
}

TEST_F(Pipeline, EveryQuickPressIsItsOwnStepWithTheScreenOfItsMoment) {
    QList<QColor> colours;
    for (int i = 0; i < 30; ++i) {
        const QColor c = QColor::fromHsv((i * 37) % 360, 255, 200);
        colours << c;
        screen.pixels().fill(c);
        // No waiting between presses: the writer is still busy with earlier ones.
        press(QPoint(400 + i * 6, 400));
        release(QPoint(400 + i * 6, 400));
    }
    screen.pixels().fill(Qt::black);
    settle();
    ASSERT_EQ(steps.count(), 30);
    for (int n = 1; n <= 30; ++n) {
        EXPECT_EQ(steps.field(n, FieldCreation).toInt(), n);
        const QColor got = colourAt(imagePath(n), QPoint(5, 5));
        EXPECT_NEAR(got.hue(), colours[n - 1].hue(), 4) << "step " << n;
    }
}

TEST_F(Pipeline, TheScreenIsCopiedBeforeTheSlowQuestionsOfEveryTarget) {
    for (int target : {0, 1, 2, 3, 4}) {
        conf().target = target;
        screen.pixels().fill(Qt::red);
        // The application repaints while its element is being asked for.
        access.duringQuery = [&] { screen.pixels().fill(Qt::blue); };
        click(okCentre() + QPoint(target * 3, 0));
        settle();
        ASSERT_EQ(steps.count(), target + 1);
        const QImage image(imagePath(target + 1));
        EXPECT_GT(image.pixelColor(2, image.height() - 3).red(), 200) << "target " << target;
        EXPECT_LT(image.pixelColor(2, image.height() - 3).blue(), 60) << "target " << target;
    }
}

TEST_F(Pipeline, AWindowThatVanishesDuringTheStepAndNoElementsLeaveRecordingGoing) {
    conf().target = 1; // "window": the window's rectangle is asked for
    access.duringQuery = [&] { desktop.removeWindow(kApp); };
    click(okCentre());
    settle();
    // Whatever the capture made of it, the next click is a step as usual.
    FakeWindow app;
    app.id = kApp;
    app.rect = QRect(0, 0, 800, 600);
    app.className = QStringLiteral("App");
    desktop.addWindow(app);
    const int before = steps.count();
    FakeAccessibility nothing; // as without an accessibility bus
    RecordingServices bare{desktop, keys, screen, screen, nothing};
    StepList otherSteps;
    OperationList otherOps{otherSteps, host, host.dialogBox};
    StepPipeline blind{bare, poller, otherSteps, otherOps, host, options};
    blind.start(0);
    Forward f;
    f.pipeline = &blind;
    hook.SetHook(&f, 0);
    click(okCentre());
    blind.committer().finish();
    ASSERT_EQ(otherSteps.count(), 1);
    EXPECT_EQ(otherSteps.field(1, FieldMessage), "クリックします。");
    EXPECT_LE(before, 1);
}

TEST_F(Pipeline, MaximumAsksAndYesOverwritesFromTheFirstStep) {
    conf().maxCnt = 3;
    host.dialogBox.answer = true;
    for (int i = 0; i < 3; ++i)
        click(QPoint(300 + i * 10, 300));
    settle();
    ASSERT_EQ(host.dialogBox.questions.size(), 1);
    EXPECT_EQ(
        host.dialogBox.questions[0],
        "最大枚数 3 に達しました。\r\n続行しますか？\r\n続行すると、１枚目から上書きされます。");
    EXPECT_EQ(host.dialogBox.titles[0], "続行？");
    const QString third = steps.field(3, FieldImageName);
    click(QPoint(400, 300));
    settle();
    ASSERT_EQ(steps.count(), 3);
    EXPECT_EQ(host.details.last().no, "001");
    EXPECT_NE(steps.field(1, FieldImageName), host.details[0].fileName);
    EXPECT_EQ(steps.field(1, FieldImageName), host.details.last().fileName);
    EXPECT_EQ(steps.field(3, FieldImageName), third);
    EXPECT_TRUE(host.statusTexts().contains("最大枚数に達しています！"));
}

TEST_F(Pipeline, MaximumAnsweredNoStopsAndDropsWhatCameAfter) {
    conf().maxCnt = 3;
    host.dialogBox.answer = false;
    int stops = 0;
    pipeline.committer().stopRecording = [&] { ++stops; };
    // The fourth click is captured before the third is committed.
    for (int i = 0; i < 4; ++i)
        click(QPoint(300 + i * 10, 300));
    settle();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(steps.count(), 3);
    EXPECT_EQ(pipeline.stepNumber(), 3);
    // Its image did not stay behind unlisted.
    EXPECT_EQ(QDir(captureFolder()).entryList({"*.jpg"}, QDir::Files).size(), 3);
}

TEST_F(Pipeline, MarkerOnlyWithRectPointAndAPlainCopyWithNoRectFile) {
    screen.pixels().fill(Qt::white);
    conf().rectPoint = 0;
    conf().noRectFile = 1;
    conf().mouseCursor = 0;
    click(okCentre());
    conf().rectPoint = 1;
    click(okCentre() + QPoint(3, 0));
    settle();
    ASSERT_EQ(steps.count(), 2);
    const auto redPixels = [](const QString& path) {
        const QImage image(path);
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
            }
        return red;
    };
    EXPECT_EQ(redPixels(imagePath(1)), 0);
    EXPECT_GT(redPixels(imagePath(2)), 100);
    const QString plain = captureFolder() + "NO_RECT/" + steps.field(2, FieldImageName) + ".jpg";
    ASSERT_TRUE(QFile::exists(plain));
    EXPECT_EQ(redPixels(plain), 0);
    EXPECT_TRUE(QFile::exists(captureFolder() + "NO_RECT/OpList.txt"));
}

TEST_F(Pipeline, CancelledCaptureKeepsTheNumberAndTellsWhy) {
    conf().rectLeft = 0;
    conf().rectRight = 2; // a box 2 pixels wide
    click(okCentre());
    settle();
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(pipeline.stepNumber(), 0);
    EXPECT_TRUE(host.statusTexts().contains("%%%% cancel %%%%"));
    EXPECT_TRUE(waitMarkerExists());
    conf().rectRight = 150;
    click(okCentre());
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(host.details.last().no, "001");
}

TEST_F(Pipeline, TypedTextBecomesAStepBeforeTheNextClickAndPasswordsStaySecret) {
    click(QPoint(150, 211)); // into the name field
    access.setFocused(name);
    name->elementValue = QStringLiteral("abc");
    hook.key(65, false);
    click(QPoint(150, 251)); // into the password field: the name's text is flushed first
    access.setFocused(password);
    password->secret = QStringLiteral("hunter2");
    hook.key(66, false);
    click(okCentre());
    settle();
    ASSERT_EQ(steps.count(), 5);
    EXPECT_EQ(sentence(2), "(名前)で\"abc\"を入力します。");
    EXPECT_TRUE(steps.field(2, FieldImageName).isEmpty());
    EXPECT_EQ(host.details[1].event, "input");
    EXPECT_EQ(sentence(4), "(パスワード)でパスワードを入力します。");
    EXPECT_EQ(sentence(5), "[OK](ボタン)を、クリックします。");
    EXPECT_FALSE(opListText().contains("hunter2"));
    EXPECT_FALSE(steps.allLines().contains("hunter2"));
}

TEST_F(Pipeline, KeysWaitForTheirApplicationUnlessAPressComesFirst) {
    access.setFocused(name);
    name->elementValue = QStringLiteral("x");
    hook.key(88, false);
    runEvents(150);                            // the key is read once it has taken effect
    name->elementValue = QStringLiteral("xy"); // typed later, never reported
    EXPECT_EQ(pipeline.tracker().text(), "x");
    // Tab leaves the field: a typed-text step and a key step, with an image
    // centred on the field.
    access.setFocused(ok);
    hook.key(9, false);
    runEvents(150);
    settle();
    ASSERT_EQ(steps.count(), 2);
    EXPECT_EQ(sentence(1), "\"x\"を入力します。");
    EXPECT_EQ(sentence(2), "Tabキーを押します。");
    EXPECT_FALSE(steps.field(2, FieldImageName).isEmpty());
    EXPECT_EQ(host.details.last().event, "key");
    EXPECT_EQ(host.details.last().pos, "140,112"); // the centre of the control it came to
}

TEST_F(Pipeline, HotKeyCombinationsAreNotTyping) {
    pipeline.isHotKey = [](int vk) { return vk == 'E'; };
    access.setFocused(name);
    name->elementValue = QStringLiteral("abc");
    keys.press(17);
    keys.press(16);
    InputMessage record;
    poller.tick(record);
    hook.key('E', false);
    runEvents(150);
    EXPECT_TRUE(pipeline.tracker().nothingTyped());

    // A quick one is over before the poll: the hook says what was held.
    keys.release(17);
    keys.release(16);
    poller.tick(record);
    hook.deliver({0, kHookKey, 'E', 1u | kKeyCtrlFlag | kKeyShiftFlag, 5000, {}, nullptr});
    runEvents(150);
    EXPECT_TRUE(pipeline.tracker().nothingTyped());
    // Without them it is typing.
    hook.deliver({0, kHookKey, 'E', 1u, 5010, {}, nullptr});
    runEvents(150);
    EXPECT_EQ(pipeline.tracker().text(), "abc");
}

TEST_F(Pipeline, UnwritableFolderLosesNoSavedStepAndSaysSoOnce) {
    click(okCentre());
    settle();
    ASSERT_EQ(steps.count(), 1);
    // A file where the folder was: nothing can be written, even by root.
    QString folder = captureFolder();
    folder.chop(1);
    ASSERT_TRUE(QDir().rename(folder, folder + ".away"));
    writeBytes(folder, "not a folder");
    click(QPoint(300, 300));
    click(QPoint(320, 300));
    settle();
    EXPECT_EQ(steps.count(), 1); // no step names an image that is not there
    EXPECT_EQ(host.dialogBox.messages.size(), 1);
    EXPECT_EQ(host.dialogBox.titles.last(), "保存エラー");
    EXPECT_TRUE(host.published.contains("保存エラー！"));
    QFile::remove(folder);
    ASSERT_TRUE(QDir().rename(folder + ".away", folder));
    click(QPoint(340, 300));
    settle();
    ASSERT_EQ(steps.count(), 2);
    EXPECT_EQ(host.details.last().no, "002");
    const QString list = opListText();
    for (int n = 1; n <= 2; ++n) {
        EXPECT_TRUE(QFile::exists(imagePath(n)));
        EXPECT_TRUE(list.contains(steps.field(n, FieldImageName)));
    }
}

TEST_F(Pipeline, WithoutAutomaticSavingTheStepWaitsInTheMainPicture) {
    conf().autoSave = 0;
    click(okCentre());
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_FALSE(QFile::exists(imagePath(1)));
    EXPECT_FALSE(QFile::exists(captureFolder() + "OpList.txt"));
    EXPECT_FALSE(pipeline.lastCapture().marked.isNull());
    options.autoSave = true; // the start option forces it
    click(QPoint(300, 300));
    settle();
    EXPECT_TRUE(QFile::exists(imagePath(2)));
}

TEST_F(Pipeline, ManualCaptureHasNoSentenceAndARectAreaOfItsOwn) {
    screen.pixels().fill(Qt::white);
    QPainter(&screen.pixels()).fillRect(QRect(300, 200, 200, 200), Qt::green);
    EXPECT_TRUE(pipeline.manualCapture(QRect(300, 200, 200, 200)).isEmpty());
    EXPECT_EQ(pipeline.manualCapture(QRect(300, 200, 2, 2)), "%%%% cancel %%%%");
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_TRUE(sentence(1).isEmpty());
    const QImage image(imagePath(1));
    EXPECT_EQ(image.size(), QSize(200, 200));
    EXPECT_GT(image.pixelColor(10, 10).green(), 200);
}
