#include "record/hotkeyset.h"
#include "record/recordingcontrol.h"
#include "record/waitmarker.h"
#include "recordingrig.h"
#include "store/capturefolder.h"
#include "store/stepline.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

constexpr int kCtrlShift = kModControl | kModShift;

class Control : public ::testing::Test, protected RecordingRig {
protected:
    Control() {
        control.onLoopEnded = [this](const QString& mode) { ended << mode; };
    }
    // The start command and the loop's first turn.
    void start(bool manual = false) {
        control.startCommand(manual);
        runEvents(20);
    }
    // Lets the loop notice a change of the run mode and end.
    void turn() {
        runEvents(40);
        runEventsUntil([this] { return !control.isRecording(); });
    }
    void addSteps(int n) {
        for (int i = 1; i <= n; ++i)
            ops.addStep(i, QStringLiteral("20260101000000%1").arg(i, 2, 10, QLatin1Char('0')), "s",
                        "jpg", "", false, false);
        host.stepField = n;
    }

    RecordingControl control{services, hook, &hotKeys, poller,  area,
                             steps,    ops,  host,     runMode, options};
    QStringList ended;
};

} // namespace

TEST_F(Control, StartOnAnEmptyListNeverAsksAndSetsEverythingUp) {
    start();
    EXPECT_TRUE(host.dialogBox.questions.isEmpty());
    EXPECT_TRUE(runMode.is(kRunGo));
    EXPECT_TRUE(control.isRecording());
    EXPECT_TRUE(hook.isHooked());
    EXPECT_EQ(hook.delay(), conf().delay0);
    EXPECT_EQ(hotKeys.registered().size(), 5);
    EXPECT_TRUE(hotKeys.atoms().contains("MIRUVAN0"));
    EXPECT_TRUE(hotKeys.atoms().contains("MIRUVAN3"));
    EXPECT_TRUE(host.published.contains("Go"));
    EXPECT_TRUE(host.recordingButtons);
    EXPECT_TRUE(host.outOfTheWay);
    EXPECT_TRUE(waitMarkerExists());
    EXPECT_EQ(host.message, "Ctrl+Shift+Eで記録終了");
    QString folder = captureFolderText();
    folder.chop(1);
    EXPECT_EQ(host.captions.last(), folder + " - Start");

    click(okCentre());
    control.stopCommand();
    turn();
    EXPECT_EQ(ended, QStringList{""});
    EXPECT_FALSE(hook.isHooked());
    EXPECT_TRUE(hotKeys.registered().isEmpty());
    EXPECT_TRUE(host.published.contains("Stop"));
    EXPECT_FALSE(waitMarkerExists());
    EXPECT_FALSE(host.recordingButtons);
    EXPECT_FALSE(host.outOfTheWay);
    EXPECT_TRUE(host.message.isEmpty());
    EXPECT_EQ(steps.count(), 1); // the click before the stop is written and listed
    EXPECT_TRUE(QFile::exists(captureFolder() + steps.field(1, FieldImageName) + ".jpg"));
}

TEST_F(Control, StartQuestionsAndTheirAnswers) {
    addSteps(3);
    conf().confirmAppend = 0;
    start();
    EXPECT_TRUE(host.dialogBox.questions.isEmpty());
    control.stopCommand();
    turn();

    conf().confirmAppend = 1;
    host.dialogBox.answer3 = Dialogs::Answer::Cancel;
    start();
    ASSERT_EQ(host.dialogBox.questions.size(), 1);
    EXPECT_EQ(host.dialogBox.titles.last(), "削除確認");
    EXPECT_EQ(host.dialogBox.lastPreselected, Dialogs::Answer::No);
    EXPECT_TRUE(host.dialogBox.questions[0].contains(" いいえ(N)　→ 残して次 4 から追加"));
    EXPECT_TRUE(runMode.isIdle());
    EXPECT_FALSE(hook.isHooked());

    // Yes, then Cancel in the second question: nothing changes either.
    host.dialogBox.answer3 = Dialogs::Answer::Yes;
    host.dialogBox.answerOk = false;
    start();
    EXPECT_EQ(host.dialogBox.titles.last(), "新規確認");
    EXPECT_EQ(host.dialogBox.questions.last(),
              "既存の画像／データを削除します。本当に、よろしいですか？");
    EXPECT_EQ(host.deleteAllCalls, 0);
    EXPECT_TRUE(runMode.isIdle());

    // No appends after step 3.
    host.dialogBox.answer3 = Dialogs::Answer::No;
    start();
    click(okCentre());
    control.stopCommand();
    turn();
    EXPECT_EQ(steps.count(), 4);
    EXPECT_EQ(host.details.last().no, "004");

    // Yes and OK start anew from 1.
    host.dialogBox.answer3 = Dialogs::Answer::Yes;
    host.dialogBox.answerOk = true;
    start();
    EXPECT_EQ(host.deleteAllCalls, 1);
    EXPECT_EQ(host.clearCalls, 1);
    steps.clear(); // what the delete-all command does to the list
    click(okCentre());
    control.stopCommand();
    turn();
    EXPECT_EQ(host.details.last().no, "001");
}

TEST_F(Control, StartAfterSelectingAnEarlierStepAppendsInsteadOfOverwriting) {
    addSteps(10);
    const QString fourth = steps.line(4);
    host.stepField = 3; // the user selected step 3
    conf().confirmAppend = 1;
    host.dialogBox.answer3 = Dialogs::Answer::No;
    start();
    ASSERT_EQ(host.dialogBox.questions.size(), 1);
    EXPECT_TRUE(host.dialogBox.questions[0].contains(" いいえ(N)　→ 残して次 11 から追加"));
    click(okCentre());
    control.stopCommand();
    turn();
    EXPECT_EQ(steps.count(), 11);
    EXPECT_EQ(host.details.last().no, "011");
    EXPECT_EQ(steps.line(4), fourth);
}

TEST_F(Control, StartOptionsAnswerTheQuestion) {
    addSteps(2);
    options.newOrAppend = "append";
    start();
    EXPECT_TRUE(host.dialogBox.questions.isEmpty());
    EXPECT_EQ(host.deleteAllCalls, 0);
    control.stopCommand();
    turn();
    options.newOrAppend = "new";
    start();
    EXPECT_EQ(host.dialogBox.questions.size(), 1); // only the second, safety question
    EXPECT_EQ(host.deleteAllCalls, 1);
}

TEST_F(Control, NewOnAnEmptyListStartsWithoutAsking) {
    options.newOrAppend = "new";
    start();
    EXPECT_TRUE(host.dialogBox.questions.isEmpty());
    EXPECT_EQ(host.deleteAllCalls, 0);
    EXPECT_TRUE(control.isRecording());
}

TEST(StartQuestion, AtTheMaximumItOffersTheCyclicOverwrite) {
    const QString text = appendQuestionText(300, 300);
    EXPECT_TRUE(text.contains(" いいえ(N)　→ 取得済み = 300 枚 ：最大数 300 枚 に達しています。\r\n"
                              "　　　　　　　　　 残して 1 から上書き－サイクリック"));
    EXPECT_TRUE(text.startsWith("既存のファイルが在ります。\r\n\r\n削除しますか？\r\n\r\n"
                                " はい(Y)  　→ 全て削除して 1 から新規\r\n\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n\r\n キャンセル → 処理を終了"));
}

TEST_F(Control, EndHotKeyDuringAStepEndsAfterThatStep) {
    start();
    screen.duringCopy = [&] { hotKeys.press(kCtrlShift, 'E'); };
    click(okCentre());
    EXPECT_TRUE(control.isRecording()); // still in the step's turn
    turn();
    EXPECT_FALSE(control.isRecording());
    EXPECT_EQ(steps.count(), 1);
}

TEST_F(Control, PauseTwiceResumesAndRestoresTheHint) {
    start();
    hotKeys.press(kCtrlShift, 'Z');
    EXPECT_TRUE(control.isPaused());
    EXPECT_EQ(host.message, "自動キャプチャー停止中");
    EXPECT_EQ(host.messageColour, 255);
    click(okCentre());
    hotKeys.press(kCtrlShift, 'Z');
    EXPECT_FALSE(control.isPaused());
    EXPECT_EQ(host.message, "Ctrl+Shift+Eで記録終了");
    EXPECT_EQ(host.messageColour, 0);
    click(okCentre());
    control.pipeline().committer().finish();
    EXPECT_EQ(steps.count(), 1);
    // The window is out of the way: the pop-up tells.
    EXPECT_EQ(host.popups, (QStringList{"キャプチャー停止", "開始"}));
}

TEST_F(Control, ManualStartRecordsOnlyWhatIsCapturedByHand) {
    start(true);
    EXPECT_TRUE(control.isPaused());
    click(okCentre());
    hotKeys.press(kCtrlShift, 'S');
    runEvents(10);
    control.pipeline().committer().finish();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_TRUE(steps.field(1, FieldMessage).isEmpty());
    hotKeys.press(kCtrlShift, 'Z');
    click(okCentre());
    control.pipeline().committer().finish();
    EXPECT_EQ(steps.count(), 2);
    control.stopCommand();
    turn();
    EXPECT_FALSE(control.isPaused());
}

TEST_F(Control, NoHotKeysWhenAllAreEmptyOrInDebugMode) {
    for (QString* k :
         {&conf().hotkey0, &conf().hotkey1, &conf().hotkey2, &conf().hotkey3, &conf().hotkey4})
        k->clear();
    start();
    EXPECT_TRUE(hotKeys.registered().isEmpty());
    EXPECT_TRUE(hotKeys.atoms().isEmpty());
    control.stopCommand();
    turn();
    conf() = Settings();
    conf().autoRestart = 0;
    options.debug = true;
    start();
    EXPECT_TRUE(control.isRecording());
    EXPECT_TRUE(hotKeys.registered().isEmpty());
}

TEST_F(Control, HotKeyHeldByAnotherProgramIsSaidOnceAndRecordingGoesOn) {
    hotKeys.takenByOther.insert({kCtrlShift, 'E'});
    start();
    EXPECT_EQ(hotKeys.registered().size(), 4);
    EXPECT_EQ(host.statusTexts().filter("Ctrl+Shift+E（記録終了）").size(), 1);
    control.stopCommand();
    turn();
    start();
    ASSERT_TRUE(runEventsUntil([this] { return control.isRecording(); }));
    EXPECT_EQ(host.statusTexts().filter("Ctrl+Shift+E（記録終了）").size(), 1);
    click(okCentre());
    control.pipeline().committer().finish();
    EXPECT_EQ(steps.count(), 1);
}

TEST_F(Control, AreaSelectionHotKeyAndTheRectCapture) {
    start();
    hotKeys.press(kCtrlShift, 'C');
    EXPECT_TRUE(area.mode());
    EXPECT_EQ(host.message, "範囲選択可");
    area.command("start", {500, 400});
    area.command("move", {300, 200});
    area.command("end", {300, 200});
    hotKeys.press(kCtrlShift, 'S');
    runEventsUntil([this] { return !area.mode(); });
    control.pipeline().committer().finish();
    EXPECT_FALSE(area.mode()); // the capture took the selection
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(host.message, "Ctrl+Shift+Eで記録終了");
}

TEST_F(Control, FrontOrBackMovesTheWindowOutOfTheWayAndBack) {
    start();
    ASSERT_TRUE(host.outOfTheWay);
    hotKeys.press(kCtrlShift, 'F');
    EXPECT_FALSE(host.outOfTheWay);
    host.foreground = true;
    hotKeys.press(kCtrlShift, 'F');
    EXPECT_TRUE(host.outOfTheWay);
}

TEST_F(Control, TrayWithoutANotificationAreaKeepsTheWindowReachable) {
    conf().tasktray = 1;
    host.tray.available = false;
    start();
    EXPECT_TRUE(host.minimized);
    control.stopCommand();
    turn();
    host.tray.available = true;
    start();
    EXPECT_TRUE(host.tray.shown);
    control.stopCommand();
    turn();
    EXPECT_FALSE(host.tray.shown);
}

TEST_F(Control, ANewTargetWhileRecordingReinstallsTheHookWithItsDelay) {
    start();
    conf().target = 1;
    control.reinstallHook();
    EXPECT_EQ(hook.setHookCalls(), 2);
    EXPECT_EQ(hook.delay(), conf().delay1);
    EXPECT_TRUE(control.isRecording());
}

TEST_F(Control, EndModeUnloadsAndRestartComesBack) {
    start();
    click(okCentre());
    runMode.set(kRunReStart);
    runEvents(40);
    // The loop enters again from a timer once the old one has wound down.
    for (int waited = 0; hook.setHookCalls() < 2 && waited < 3000; waited += 20)
        runEvents(20);
    EXPECT_EQ(ended, QStringList{"ReStart"});
    EXPECT_TRUE(control.isRecording());
    EXPECT_EQ(hook.setHookCalls(), 2);
    click(okCentre() + QPoint(10, 0));
    control.pipeline().committer().finish();
    EXPECT_EQ(steps.count(), 2); // numbering goes on after the restart
    EXPECT_EQ(host.details.last().no, "002");
    runMode.set(kRunEnd);
    turn();
    EXPECT_TRUE(host.unloaded);
    EXPECT_FALSE(hook.isHooked());
}

TEST_F(Control, AStopOrACloseBeforeTheLoopBeganIsNotLost) {
    control.startCommand(false);
    runMode.set(kRunIdle); // 停止 before the first turn
    turn();
    EXPECT_FALSE(control.isRecording());
    EXPECT_FALSE(host.unloaded);
    control.startCommand(false);
    runMode.set(kRunEnd); // the window closed, as "-auto" may be at once
    turn();
    EXPECT_FALSE(control.isRecording());
    EXPECT_TRUE(host.unloaded);
}

TEST_F(Control, SaveMonitorWritesTheListFiveSecondsAfterTheLastStep) {
    conf().autoSave = 0; // nothing saves the list at each step
    start();
    click(okCentre());
    control.pipeline().committer().finish();
    const QString list = captureFolder() + "OpList.txt";
    ASSERT_FALSE(QFile::exists(list));
    RecordingMonitors monitors(ops, control.pipeline(), poller);
    const QDateTime taken = timeOfImageName(ops.lastAddedImageName());
    EXPECT_FALSE(monitors.saveTick(taken.addMSecs(4000)));
    EXPECT_TRUE(monitors.saveTick(taken.addMSecs(5000)));
    control.pipeline().committer().finish();
    EXPECT_TRUE(QFile::exists(list));
    EXPECT_FALSE(monitors.saveTick(taken.addMSecs(9000))); // saved: nothing pending
}

TEST_F(Control, RestartMonitorActsOnClicksWithoutSteps) {
    RecordingMonitors monitors(ops, control.pipeline(), poller);
    // The button's stamp is the real time: the checks are placed before it.
    const QDateTime now = QDateTime::currentDateTime();
    keys.press(1);
    monitors.reset(now.addSecs(-10)); // recording began 10 s ago: that counts as a step
    EXPECT_FALSE(monitors.restartTick(now.addSecs(-20)));
    monitors.reset(now.addSecs(-60));
    EXPECT_TRUE(monitors.restartTick(now.addSecs(-20)));
    monitors.reset(now.addSecs(-60));
    keys.release(1);
    EXPECT_FALSE(monitors.restartTick(now.addSecs(-20))); // no click, no restart
}
