#include "fakemainwindow.h"
#include "fakesessionhost.h"
#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakesharedmemory.h"
#include "platform/instancelock.h"
#include "record/runmode.h"
#include "store/capturefolder.h"
#include "store/conffile.h"
#include "store/logs.h"
#include "store/sjis.h"
#include "app/session/startup.h"
#include "testutil.h"

#include "store/events.h"
#include <QDir>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::readBytes;
using klavoro::test::writeBytes;

namespace {

class StartupTest : public ::testing::Test {
protected:
    StartupTest() {
        FakeSharedMemory::removeAll();
        runMode().set(kRunIdle);
        setRunTimeCaptureFolder(QString());
    }
    ~StartupTest() override {
        runMode().set(kRunIdle);
        setRunTimeCaptureFolder(QString());
    }
    void writeConf(const QString& lines) {
        writeBytes(home.path("Conf.txt"),
                   toShiftJis(QStringLiteral("exe name = klavoro\r\n") + lines));
    }
    bool start(const QString& commandLine) {
        Startup startup(host, confFile, state, statusBlock, &desktop,
                        QStringLiteral("GetImage-test"));
        return startup.run(commandLine);
    }
    QString log() const { return fromShiftJis(readBytes(home.path("log.txt"))); }

    klavoro::test::ScratchHome home;
    FakeMainWindow window;
    FakeSessionHost host;
    ConfFile confFile{window, nullptr, QStringLiteral("klavoro")};
    SessionState state;
    FakeSharedMemory memory;
    StatusBlock statusBlock{&memory};
    FakeDesktop desktop;
};

class FakeLock : public InstanceLock {
public:
    bool acquire() override { return !heldElsewhere && error.isEmpty(); }
    void release() override {}
    QString errorText() const override { return heldElsewhere ? QString() : error; }
    bool heldElsewhere = false;
    QString error;
};

} // namespace

TEST_F(StartupTest, PlainStartRunsEveryStepInOrder) {
    writeBytes(home.path("log.txt"), "old\r\n");
    writeBytes(home.path("読んでね.txt"), "x");
    EXPECT_TRUE(start(QString()));
    const QStringList expected = {"handle",    "hint",      "publish:", "apply",
                                  "options",   "visible:1", "menubar:1",  "load",     "enabled:1",
                                  "title",     "buttons",   "thumbpanel", "buttons",  "timer",
                                  "visible:1", "relayout"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_TRUE(readBytes(home.path("log.txt")).isEmpty()); // emptied
    EXPECT_TRUE(QFileInfo(home.path("data")).isDir());
    EXPECT_EQ(QDir::currentPath() + '/', QDir(home.path()).absolutePath() + '/');
    EXPECT_FALSE(state.errorState);
    // The status block exists and is cleared (36 bytes, the text part blank).
    EXPECT_EQ(FakeSharedMemory::peek("GetImage-test").size(), kStatusBlockSize);
}

TEST_F(StartupTest, SavePathWithBlanksAndAutoStartsRecordingInThatFolder) {
    const QString folder = home.path("a folder with blanks");
    EXPECT_TRUE(start(QStringLiteral("-savepath \"%1\" -auto").arg(folder)));
    EXPECT_TRUE(host.has("run:cmdGo"));
    EXPECT_FALSE(host.has("timer"));     // recording replaces the idle timer
    EXPECT_FALSE(host.has("visible:1")); // recording decides how the window shows
    EXPECT_EQ(runTimeCaptureFolder(), folder);
    EXPECT_EQ(captureFolder(), folder + '/');
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(host.options.autoStart);
    // The folder and recording come after the list of the chosen folder is loaded.
    EXPECT_LT(host.indexOf("load"), host.indexOf("run:cmdGo"));

    // The setting does the same without an option.
    setRunTimeCaptureFolder(QString());
    conf() = Settings();
    host.calls.clear();
    writeConf(QStringLiteral("auto start = 1\r\n"));
    EXPECT_TRUE(start(QString()));
    EXPECT_TRUE(host.has("run:cmdGo"));
    EXPECT_FALSE(host.has("timer"));

    // Recording cannot start: logged, and the program starts idle and shown
    // rather than hidden with nothing running.
    host.calls.clear();
    host.commandExists = false;
    EXPECT_TRUE(start(QStringLiteral("-savepath \"%1\" -auto").arg(folder)));
    EXPECT_TRUE(log().contains(QStringLiteral("記録を開始できません")));
    EXPECT_GT(host.indexOf("timer"), host.indexOf("run:cmdGo"));
    EXPECT_GT(host.calls.lastIndexOf("visible:1"), host.indexOf("run:cmdGo"));
    EXPECT_TRUE(host.visible);

    // The user cancels the start question: the same idle start, nothing logged.
    runMode().set(kRunIdle);
    writeLog(QString(), true);
    host.calls.clear();
    host.commandExists = true;
    host.startAnswered = false;
    EXPECT_TRUE(start(QStringLiteral("-auto")));
    EXPECT_TRUE(host.has("run:cmdGo"));
    EXPECT_GT(host.calls.lastIndexOf("visible:1"), host.indexOf("run:cmdGo"));
    EXPECT_FALSE(log().contains(QStringLiteral("記録を開始できません")));
}

TEST_F(StartupTest, FullWidthBlanksCapitalsMinimiseAndNovisible) {
    const QString folder = home.path("rec");
    EXPECT_TRUE(start(QStringLiteral("　-savepath %1　-MIN　-novisible").arg(folder)));
    EXPECT_EQ(runTimeCaptureFolder(), folder);
    EXPECT_TRUE(host.has("minimize"));
    EXPECT_LT(host.indexOf("minimize"), host.indexOf("menubar:1"));
    EXPECT_FALSE(host.visible);          // novisible keeps it hidden
    EXPECT_FALSE(host.has("visible:1")); // never shown on the way either
}

TEST_F(StartupTest, LoadFilesAndMenuBarFollowTheSettings) {
    writeConf(QStringLiteral("load files = 0\r\ndisp menu = 0\r\n"));
    EXPECT_TRUE(start(QStringLiteral("-nolisting -loadfiles")));
    EXPECT_FALSE(host.has("load"));
    EXPECT_TRUE(host.has("menubar:0"));
    // The two accepted words change nothing else.
    const StartOptions none;
    EXPECT_EQ(host.options.autoStart, none.autoStart);
    EXPECT_EQ(host.options.minimize, none.minimize);
    EXPECT_TRUE(host.visible);

    host.calls.clear();
    writeConf(QStringLiteral("load files = 1 ' leading number\r\n"));
    EXPECT_TRUE(start(QString()));
    EXPECT_TRUE(host.has("load"));
}

TEST_F(StartupTest, ThumbnailCountIsShownHighlighted) {
    QDir().mkpath(home.path("data/Thumb"));
    for (const char* name : {"Thumb_1.jpg", "Thumb_2.JPG", "Thumb_3.png", "notes.txt"})
        writeBytes(home.path("data/Thumb/") + name, "x");
    EXPECT_TRUE(start(QString()));
    EXPECT_TRUE(host.has(QStringLiteral("status:2個の画像がThumbフォルダにあります。:1")));
    EXPECT_FALSE(host.calls.filter("disable:").size()); // the image codecs are all here
}

TEST_F(StartupTest, UnusableSettingStopsInTheErrorState) {
    writeConf(QStringLiteral("disp menu = 40000\r\nload files = 1\r\n"));
    EXPECT_FALSE(start(QStringLiteral("-auto")));
    EXPECT_TRUE(state.errorState);
    EXPECT_TRUE(state.settingsLoaded);
    EXPECT_TRUE(host.has(QStringLiteral("status:エラー発生！:1")));
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(host.has("enabled:1"));
    // Start-up stopped at the settings: no command line, no list, no recording.
    EXPECT_FALSE(host.has("apply"));
    EXPECT_FALSE(host.has("load"));
    EXPECT_FALSE(host.has("run:cmdGo"));
    EXPECT_TRUE(log().contains(QStringLiteral("disp menu")));
}

TEST_F(StartupTest, AFailureInALaterStepIsTheErrorStateToo) {
    host.onApply = [] { throw std::runtime_error("broken"); };
    EXPECT_FALSE(start(QString()));
    EXPECT_TRUE(host.has(QStringLiteral("status:エラー発生！:1")));
    EXPECT_TRUE(log().contains(QStringLiteral("broken")));
}

TEST_F(StartupTest, CommandLineOptionsStandInForSettingsForThisRunOnly) {
    writeConf(QStringLiteral("mouse cursor = 0\r\ncapture sound = 0\r\ntasktray = 0\r\n"
                             "copy to clipboard = 0\r\n"));
    EXPECT_TRUE(start(QStringLiteral("-mouse -sound -tray -clipboard -autosave")));
    EXPECT_EQ(conf().mouseCursor, 1);
    EXPECT_EQ(conf().captureSound, 1);
    EXPECT_EQ(conf().tasktray, 1);
    EXPECT_EQ(conf().copyToClipboard, 1);
    EXPECT_EQ(conf().autoSave, 1);
    conf().target = 2;       // changed by the user during the run
    conf().captureSound = 0; // switched off in the settings dialog
    const Settings saved = state.overrides.forSaving(conf());
    EXPECT_EQ(saved.mouseCursor, 0);
    EXPECT_EQ(saved.tasktray, 0);
    EXPECT_EQ(saved.copyToClipboard, 0);
    EXPECT_EQ(saved.captureSound, 0);
    EXPECT_EQ(saved.target, 2);
}

TEST_F(StartupTest, WatchedWindowEndsTheProgramAndZeroWatchesNothing) {
    EXPECT_TRUE(start(QStringLiteral("-hwnd 0")));
    EXPECT_EQ(state.watch, nullptr);

    host.calls.clear();
    FakeWindow other;
    other.id = 4711;
    other.rect = QRect(0, 0, 10, 10);
    desktop.addWindow(other);
    EXPECT_TRUE(start(QStringLiteral("-hwnd 4711")));
    ASSERT_NE(state.watch, nullptr);
    EXPECT_TRUE(state.watch->isActive());
    waitMs(150);
    EXPECT_FALSE(host.has("close"));
    desktop.removeWindow(4711);
    for (int i = 0; i < 50 && !host.has("close"); ++i)
        waitMs(20);
    EXPECT_TRUE(host.has("close"));
    EXPECT_TRUE(runMode().is(kRunEnd));
    EXPECT_EQ(host.calls.count("close"), 1);
}

TEST_F(StartupTest, UnmarkedFolderIsOfferedAtStart) {
    QDir().mkpath(home.path("data/NO_RECT"));
    writeConf(QStringLiteral("save folder path = data/NO_RECT/\r\n"));
    host.dlg.answer = true;
    EXPECT_TRUE(start(QString()));
    EXPECT_TRUE(host.dlg.titles.contains(QStringLiteral("保存先フォルダの確認")));
    EXPECT_EQ(host.calls.count("load"), 2); // the list of the folder switched to
    EXPECT_EQ(conf().saveFolderPath, QStringLiteral("data/"));
}

TEST(SecondInstance, IsRefusedWithTheMessageAndAnUnusableLockIsNot) {
    FakeLock lock;
    klavoro::test::FakeDialogs dialogs;
    EXPECT_FALSE(refuseSecondInstance(lock, dialogs));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    lock.heldElsewhere = true;
    EXPECT_TRUE(refuseSecondInstance(lock, dialogs));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("既にクラヴォロは起動中です。")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("二重起動不可")});

    lock.heldElsewhere = false;
    lock.error = QStringLiteral("/run/x: Permission denied");
    EXPECT_FALSE(refuseSecondInstance(lock, dialogs));
}
