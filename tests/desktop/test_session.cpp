// Start-up and shut-down of the real main window, in this process.
#include "platform/x11/x11desktop.h"
#include "record/runmode.h"
#include "store/capturefolder.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/steplist.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/trayhost.h"
#include "ui/frmklavoro.h"
#include "ui/trayicon.h"
#include "app/windowsession.h"
#include "tests/desktop/testwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QByteArray threeSteps() {
    QByteArray file =
        toShiftJis(QStringLiteral("最終行 = \t1\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
    for (int i = 0; i < 3; ++i) {
        const QByteArray m = toShiftJis(QStringLiteral("[OK](ボタン)を、クリックします。"));
        file += "\t202612060905030" + QByteArray::number(i) + "    \t\t" +
                QByteArray::number(i + 1) + "\t" + m + QByteArray(100 - m.size(), ' ') +
                "\tjpg\t\r\n";
    }
    return file;
}

class SessionTest : public ::testing::Test {
protected:
    SessionTest() : m_cwd(QDir::currentPath()) {
        qputenv(kProgramFolderEnv, m_home.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        runMode().set(kRunIdle);
        setRunTimeCaptureFolder(QString());
        QDir().mkpath(path("data"));
    }
    ~SessionTest() override {
        session.reset();
        drop();
        runMode().set(kRunIdle);
        setRunTimeCaptureFolder(QString());
        QDir::setCurrent(m_cwd); // start-up moves into the program folder
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
        conf() = Settings();
    }
    QString path(const QString& rel) const { return m_home.path() + '/' + rel; }
    void writeConf(const QString& lines) {
        writeFile(path("Conf.txt"), toShiftJis(QStringLiteral("exe name = klavoro\r\n") + lines));
    }
    // The window as the program builds it; `recordCommand` stands in for the
    // record button of the recording family.
    void make(bool recordCommand = false) {
        trayIcon = std::make_unique<TrayIcon>(
            [this]() -> QWidget* { return window; },
            TrayIcon::Hooks{.menu = [this] { return window->popupMenu("mnuMain"); },
                            .status = [this](const QString& s) { window->setStatus(s); },
                            .reselect = {}});
        tray = trayIcon.get();
        graph = std::make_unique<test::TestWindow>(test::TestWindow::Options{.tray = tray});
        window = &graph->window();
        if (recordCommand)
            window->commands().add(QStringLiteral("cmdGo"), [this] {
                ++recordStarts;
                runMode().set(kRunGo);
                window->show();
            });
        session = std::make_unique<WindowSession>(*window, graph->graph().confFile(),
                                                  graph->graph().statusBlock());
        QObject::connect(session.get(), &WindowSession::unloaded, [this] { unloaded = true; });
    }
    // The window manager's close box.
    void closeBox() {
        x11::X11Desktop desktop;
        desktop.requestClose(window->winId());
    }
    QString confText() const { return fromShiftJis(readAll(path("Conf.txt"))); }

    // The window and its graph go; the tray outlives them.
    void drop() {
        graph.reset();
        window = nullptr;
    }

    std::unique_ptr<TrayIcon> trayIcon;
    std::unique_ptr<test::TestWindow> graph;
    frmKlavoro* window = nullptr;
    std::unique_ptr<WindowSession> session;
    TrayIcon* tray = nullptr;
    int recordStarts = 0;
    bool unloaded = false;

private:
    QTemporaryDir m_home;
    QString m_cwd;
};

} // namespace

TEST_F(SessionTest, LoadFilesZeroLeavesTheListEmptyAndTheFileAlone) {
    writeFile(path("data/OpList.txt"), threeSteps());
    writeConf(QStringLiteral("load files = 0\r\n"));
    make();
    ASSERT_TRUE(session->start(QString()));
    EXPECT_EQ(window->steps().count(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->cmdPlay->isEnabled()); // nothing to play
    window->close();
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(readAll(path("data/OpList.txt")), threeSteps());
    EXPECT_TRUE(confText().contains(QStringLiteral("load files = 0")));
}

TEST_F(SessionTest, ThumbnailCountAndTheErrorStateAreHighlightedInTheStatusLine) {
    writeFile(path("data/OpList.txt"), threeSteps());
    QDir().mkpath(path("data/Thumb"));
    writeFile(path("data/Thumb/Thumb_1.jpg"), "x");
    make();
    ASSERT_TRUE(session->start(QString()));
    EXPECT_EQ(window->steps().count(), 3);
    EXPECT_EQ(window->statusText(), QStringLiteral("1個の画像がThumbフォルダにあります。"));
    EXPECT_FALSE(window->lblStatus->styleSheet().isEmpty());
    window->setStatus(QStringLiteral("次"));
    EXPECT_TRUE(window->lblStatus->styleSheet().isEmpty()); // the highlight goes with the text
    window->close();

    session.reset();
    drop();
    writeConf(QStringLiteral("disp menu = 40000\r\n"));
    make();
    EXPECT_FALSE(session->start(QString()));
    EXPECT_EQ(window->statusText(), QStringLiteral("エラー発生！"));
    EXPECT_FALSE(window->lblStatus->styleSheet().isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
    window->close();
}

TEST_F(SessionTest, AutoStartRecordsAndTheCloseBoxHidesInTheTray) {
    TrayHost host;
    ASSERT_TRUE(host.start()) << "trayer did not take the notification area";
    make(true);
    const QString folder = path("a folder with blanks");
    ASSERT_TRUE(session->start(QStringLiteral("-savepath \"%1\" -auto -tray").arg(folder)));
    EXPECT_EQ(recordStarts, 1);
    EXPECT_EQ(captureFolder(), folder + '/');
    ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
    pause(200);

    closeBox();
    EXPECT_TRUE(waitUntil([&] { return tray->isShown() && !window->isVisible(); }, 3000));
    EXPECT_TRUE(runMode().is(kRunGo)); // still recording
    EXPECT_FALSE(unloaded);

    // The end command while recording: recording ends, the loop closes the window.
    ASSERT_TRUE(window->runCommand(QStringLiteral("mnuEnd2")));
    EXPECT_TRUE(waitUntil([&] { return runMode().is(kRunEnd); }, 3000));
    EXPECT_FALSE(unloaded);
    window->close(); // as the recording loop does after "End"
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(tray->isShown());
    EXPECT_TRUE(confText().contains(QStringLiteral("tasktray = 0"))); // the option is not saved
}

TEST_F(SessionTest, WithoutATrayHostTheCloseBoxMinimisesAndSaysSo) {
    if (TrayHost::trayPresent()) GTEST_SKIP() << "this desktop has a notification area";
    make(true);
    writeConf(QStringLiteral("tasktray = 1\r\n"));
    ASSERT_TRUE(session->start(QStringLiteral("-auto")));
    ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
    pause(200);
    closeBox();
    EXPECT_TRUE(waitUntil([&] { return window->isMinimized(); }, 3000));
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("通知領域")));
    EXPECT_TRUE(runMode().is(kRunGo));
    EXPECT_FALSE(unloaded);
    // Without tasktray the close box ends the recording instead.
    conf().tasktray = 0;
    window->showNormal();
    pause(200);
    closeBox();
    EXPECT_TRUE(waitUntil([&] { return runMode().is(kRunEnd); }, 3000));
    window->close();
    EXPECT_TRUE(unloaded);
}

TEST_F(SessionTest, EndCommandSaysSoAndClosesAndAFailedSaveIsShown) {
    make();
    ASSERT_TRUE(session->start(QString()));
    conf().target = 3;
    ASSERT_TRUE(window->runCommand(QStringLiteral("mnuEnd2")));
    EXPECT_EQ(window->statusText(), QStringLiteral("終了します！"));
    EXPECT_FALSE(unloaded);
    EXPECT_TRUE(waitUntil([&] { return unloaded; }, 3000));
    EXPECT_TRUE(confText().contains(QStringLiteral("target = 3")));

    session.reset();
    drop();
    unloaded = false;
    make();
    ASSERT_TRUE(session->start(QString()));
    QFile::remove(path("Conf.txt"));
    ASSERT_TRUE(QDir().mkdir(path("Conf.txt")));
    QString during;
    QTimer::singleShot(1500, [&] { during = window->statusText(); });
    window->close();
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(during, QStringLiteral("設定値保存エラー"));
    EXPECT_TRUE(
        fromShiftJis(readAll(path("log.txt"))).contains(QStringLiteral("設定値保存エラー")));
}
