#include "fakemainwindow.h"
#include "fakesessionhost.h"
#include "platform/fake/fakesharedmemory.h"
#include "record/runmode.h"
#include "store/conffile.h"
#include "app/session/shutdown.h"
#include "store/sjis.h"
#include "app/session/startup.h"
#include "testutil.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::readBytes;
using klavoro::test::writeBytes;

namespace {

class ShutdownTest : public ::testing::Test {
protected:
    ShutdownTest() {
        FakeSharedMemory::removeAll();
        runMode().set(kRunIdle);
        writeBytes(home.path("Conf.txt"), toShiftJis(QStringLiteral("exe name = klavoro\r\n")));
        confFile.load(conf());
        state.settingsLoaded = true;
    }
    ~ShutdownTest() override { runMode().set(kRunIdle); }
    QString confText() const { return fromShiftJis(readBytes(home.path("Conf.txt"))); }
    QString log() const { return fromShiftJis(readBytes(home.path("log.txt"))); }

    klavoro::test::ScratchHome home;
    FakeMainWindow window;
    FakeSessionHost host;
    ConfFile confFile{window, nullptr, QStringLiteral("klavoro")};
    SessionState state;
    FakeSharedMemory memory;
    StatusBlock statusBlock{&memory};
    QList<int> waits;
    Shutdown shutdown{host, confFile, state, statusBlock, [this](int ms) { waits << ms; }};
};

} // namespace

TEST_F(ShutdownTest, IdleCloseHidesSavesListAndSettingsAndGoesAhead) {
    conf().target = 3;
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Proceed);
    EXPECT_EQ(host.calls, (QStringList{"visible:0", "prepare", "savelist"}));
    EXPECT_TRUE(confText().contains(QStringLiteral("target = 3")));
    EXPECT_TRUE(waits.isEmpty());
    EXPECT_TRUE(state.closing);
    // Once it went ahead, a further request does not save again.
    EXPECT_EQ(shutdown.closeRequest(false), Shutdown::Close::Proceed);
    EXPECT_EQ(host.calls.count("savelist"), 1);
}

TEST_F(ShutdownTest, WhileRecordingTheCloseEndsRecordingOrGoesToTheTray) {
    runMode().set(kRunGo);
    conf().tasktray = 1;
    // The close box with tasktray: into the notification area, still recording.
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Cancel);
    EXPECT_EQ(host.calls, QStringList{"tray"});
    EXPECT_TRUE(runMode().is(kRunGo));
    // No notification area: still cancelled (the window was minimised instead).
    host.trayAvailable = false;
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Cancel);
    EXPECT_TRUE(runMode().is(kRunGo));

    // The end command (not the close box) ends recording even with tasktray.
    host.calls.clear();
    EXPECT_EQ(shutdown.closeRequest(false), Shutdown::Close::Cancel);
    EXPECT_TRUE(runMode().is(kRunEnd));
    EXPECT_TRUE(host.calls.isEmpty()); // nothing saved yet: the loop closes again
    EXPECT_FALSE(state.closing);

    // Without tasktray the close box ends recording too.
    runMode().set(kRunGo);
    conf().tasktray = 0;
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Cancel);
    EXPECT_TRUE(runMode().is(kRunEnd));
    // The loop's own close then saves and goes ahead.
    EXPECT_EQ(shutdown.closeRequest(false), Shutdown::Close::Proceed);
    EXPECT_TRUE(host.has("savelist"));
}

TEST_F(ShutdownTest, SettingsThatCannotBeWrittenAreReportedAndTheCloseWaits) {
    QFile::remove(home.path("Conf.txt"));
    ASSERT_TRUE(QDir().mkdir(home.path("Conf.txt"))); // nothing can be renamed over it
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Proceed);
    EXPECT_TRUE(host.has(QStringLiteral("status:設定値保存エラー:0")));
    EXPECT_TRUE(host.visible); // shown again so that the line can be read
    EXPECT_EQ(waits, QList<int>{3000});
    EXPECT_TRUE(log().contains(QStringLiteral("設定値保存エラー")));
}

TEST_F(ShutdownTest, SettingsNeverLoadedAreNotWrittenOverTheFile) {
    writeBytes(home.path("Conf.txt"),
               toShiftJis(QStringLiteral("exe name = klavoro\r\ntarget = 2\r\n")));
    state.settingsLoaded = false; // start-up stopped before the settings
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Proceed);
    EXPECT_EQ(confText(), QStringLiteral("exe name = klavoro\r\ntarget = 2\r\n"));
    EXPECT_TRUE(waits.isEmpty());
}

TEST_F(ShutdownTest, FailureDuringTheCloseIsShownUnderQueryUnload) {
    host.onSaveList = [] { throw std::runtime_error("disk gone"); };
    EXPECT_EQ(shutdown.closeRequest(true), Shutdown::Close::Proceed);
    EXPECT_TRUE(host.visible);
    EXPECT_EQ(host.dlg.titles, QStringList{QStringLiteral("QueryUnload")});
    EXPECT_EQ(host.dlg.messages, QStringList{QStringLiteral("disk gone")});
}

TEST_F(ShutdownTest, ARequestDuringTheWaitIsLeftToTheFirst) {
    QFile::remove(home.path("Conf.txt"));
    QDir().mkdir(home.path("Conf.txt"));
    Shutdown* self = nullptr;
    Shutdown::Close inner = Shutdown::Close::Proceed;
    Shutdown s{host, confFile, state, statusBlock,
               [&](int) { inner = self->closeRequest(true); }};
    self = &s;
    EXPECT_EQ(s.closeRequest(true), Shutdown::Close::Proceed);
    EXPECT_EQ(inner, Shutdown::Close::Cancel);
    EXPECT_EQ(host.calls.count("savelist"), 1);
}

TEST_F(ShutdownTest, UnloadReleasesEverythingInOrderOnce) {
    ASSERT_TRUE(statusBlock.open(QStringLiteral("GetImage-test")));
    writeBytes(home.path("wait"), QByteArray());
    shutdown.unload();
    EXPECT_EQ(host.calls, (QStringList{"untray", "unhook"}));
    EXPECT_FALSE(QFile::exists(home.path("wait")));
    EXPECT_FALSE(memory.isOpen());
    EXPECT_FALSE(statusBlock.publish(QStringLiteral("Go"))); // closed: nothing is written
    shutdown.unload();
    EXPECT_EQ(host.calls.size(), 2);
    shutdown.finalRelease();
    EXPECT_EQ(host.calls.last(), QStringLiteral("savelist"));
}
