// The program as a user starts it: command lines, a second start, a killed
// run, the window it watches, and what it leaves on disk.
#include "platform/x11/x11desktop.h"
#include "store/sjis.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/programrun.h"

#include <QDir>
#include <QFile>

#include <memory>

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

QString logOf(const ProgramRun& run) {
    return fromShiftJis(readAll(run.path("log.txt")));
}

// Closes the program through its window and waits for it to end.
void closeProgram(ProgramRun& run) {
    const ClientWindow w = run.waitForMainWindow(3000);
    if (w.id) run.requestClose(w.id);
    EXPECT_TRUE(run.waitForExit());
}

} // namespace

TEST(Program, ASecondStartIsRefusedAndTouchesNothing) {
    ProgramRun first;
    ASSERT_TRUE(first.start());
    const ClientWindow main = first.waitForMainWindow();
    ASSERT_NE(main.id, 0u);
    const QByteArray firstLog = readAll(first.path("log.txt"));

    ProgramRun second; // another program folder, same user and display
    ASSERT_TRUE(second.start());
    const ClientWindow box = second.waitForWindow(QStringLiteral("二重起動不可"));
    ASSERT_NE(box.id, 0u) << "no refusal shown";
    EXPECT_EQ(second.waitForMainWindow(200).id, 0u);
    second.requestClose(box.id); // the box's OK
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.process().exitCode(), 1);
    EXPECT_TRUE(QDir(second.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // The first one goes on as it was.
    EXPECT_EQ(first.process().state(), QProcess::Running);
    EXPECT_EQ(readAll(first.path("log.txt")), firstLog);
    EXPECT_EQ(first.waitForMainWindow(1000).id, main.id);
    closeProgram(first);
}

TEST(Program, AKilledProgramDoesNotBlockTheNextStart) {
    ProgramRun killed;
    ASSERT_TRUE(killed.start());
    ASSERT_NE(killed.waitForMainWindow().id, 0u);
    killed.process().kill(); // SIGKILL: nothing is cleaned up
    ASSERT_TRUE(killed.waitForExit());

    ProgramRun next(killed.home());
    ASSERT_TRUE(next.start());
    EXPECT_NE(next.waitForMainWindow().id, 0u) << "the stale lock refused the start";
    EXPECT_EQ(next.waitForWindow(QStringLiteral("二重起動不可"), 300).id, 0u);
    closeProgram(next);
}

TEST(Program, SavePathWithBlanksBecomesTheCaptureFolder) {
    ProgramRun run;
    const QString folder = run.path("a folder with blanks");
    ASSERT_TRUE(run.start({"-savepath", folder, "-auto"})); // joined with the folder in quotes
    const ClientWindow main = run.waitForWindow(QStringLiteral("a folder with blanks"));
    ASSERT_NE(main.id, 0u) << "the title does not name the folder";
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // Recording: the title is the folder and " - Start"; a close ends the
    // recording and then the program.
    const ClientWindow recording =
        run.waitForWindow(QStringLiteral("a folder with blanks - Start"));
    ASSERT_NE(recording.id, 0u) << "-auto did not start recording";
    run.requestClose(recording.id);
    EXPECT_TRUE(run.waitForExit());
}

TEST(Program, FullWidthBlanksAndCapitalOptionsMinimise) {
    ProgramRun run;
    const QString folder = run.path("rec");
    ASSERT_TRUE(run.start({QStringLiteral("　-savepath"), folder + QStringLiteral("　-MIN")}));
    ClientWindow main =
        run.waitForWindow(QStringLiteral("  －  rec"), 10000, ProgramRun::Until::Shown);
    ASSERT_NE(main.id, 0u);
    EXPECT_TRUE(waitUntil([&] {
        main = run.waitForWindow(QStringLiteral("  －  rec"), 100);
        return main.iconic;
    })) << "not minimised";
    // It stays so: nothing the start-up left running restores it.
    pause(300);
    EXPECT_TRUE(run.waitForWindow(QStringLiteral("  －  rec"), 100).iconic) << "restored again";
    closeProgram(run);
}

TEST(Program, AMinimisedStartTakesItsPlaceWhenRestored) {
    if (!withWindowManager())
        GTEST_SKIP() << "no frames and no minimising without a window manager";
    ProgramRun run;
    writeFile(run.path("Conf.txt"),
              toShiftJis(QStringLiteral("exe name = klavoro\r\nform left = 120\r\n"
                                        "form top = 90\r\nform right = 820\r\n"
                                        "form bottom = 640\r\n")));
    ASSERT_TRUE(run.start({"-min"}));
    ClientWindow main = run.waitForMainWindow();
    ASSERT_NE(main.id, 0u);
    ASSERT_TRUE(waitUntil([&] { return run.waitForMainWindow(100).iconic; })) << "not minimised";

    x11::X11Desktop desktop;
    desktop.setForegroundWindow(main.id); // the window manager restores it
    QRect frame;
    EXPECT_TRUE(waitUntil([&] {
        main = run.waitForMainWindow(100);
        frame = desktop.windowRect(main.id);
        return !main.iconic && main.viewable && frame == QRect(QPoint(120, 90), QSize(700, 550));
    })) << "restored at "
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    closeProgram(run);
}

TEST(Program, EndsWithTheWatchedWindowButZeroWatchesNothing) {
    {
        ProgramRun run;
        ASSERT_TRUE(run.start({"-hwnd", "0"}));
        ASSERT_NE(run.waitForMainWindow().id, 0u);
        pause(400); // a watch would have looked four times by now
        EXPECT_EQ(run.process().state(), QProcess::Running);
        closeProgram(run);
    }
    auto other = std::make_unique<FixtureApp>();
    ASSERT_TRUE(other->start());
    const WindowId watched = other->window();
    ProgramRun run;
    ASSERT_TRUE(run.start({"-hwnd", QString::number(watched)}));
    ASSERT_NE(run.waitForMainWindow().id, 0u);
    pause(300);
    EXPECT_EQ(run.process().state(), QProcess::Running);
    other.reset(); // the watched program ends
    ASSERT_TRUE(run.waitForExit(5000)) << "still running after its window went";
    EXPECT_EQ(run.process().exitCode(), 0);
    EXPECT_TRUE(QFile::exists(run.path("Conf.txt"))); // a normal close: settings saved
    EXPECT_TRUE(logOf(run).contains(QString::number(watched)));
}

TEST(Program, SettingsAreWrittenAtCloseWithoutTheCommandLinesStandIns) {
    ProgramRun run;
    writeFile(
        run.path("Conf.txt"),
        toShiftJis(QStringLiteral("exe name = klavoro\r\nmouse cursor = 0\r\ntarget = 2\r\n")));
    ASSERT_TRUE(run.start({"-mouse"}));
    ASSERT_NE(run.waitForMainWindow().id, 0u);
    closeProgram(run);
    const QString conf = fromShiftJis(readAll(run.path("Conf.txt")));
    EXPECT_TRUE(conf.contains(QStringLiteral("mouse cursor = 0")));
    EXPECT_TRUE(conf.contains(QStringLiteral("target = 2")));
    EXPECT_TRUE(conf.contains(QStringLiteral("max cnt = "))); // the whole file, not our lines
    EXPECT_FALSE(QFile::exists(run.path("wait")));
}

TEST(Program, SettingsThatCannotBeWrittenAreReportedAndTheProgramStillEnds) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    const ClientWindow main = run.waitForMainWindow();
    ASSERT_NE(main.id, 0u);
    QFile::remove(run.path("Conf.txt"));
    ASSERT_TRUE(QDir().mkdir(run.path("Conf.txt"))); // nothing can be renamed over it
    run.requestClose(main.id);
    ASSERT_TRUE(run.waitForExit(15000)) << logOf(run).toStdString();
    EXPECT_EQ(run.process().exitCode(), 0);
    EXPECT_TRUE(logOf(run).contains(QStringLiteral("設定値保存エラー")));
}
