#include "platform/x11/x11desktop.h"
#include "store/capturefolder.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"
#include "tests/desktop/testwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using klavoro::test::TestWindow;

namespace {

QByteArray opListBytes() {
    QByteArray file =
        toShiftJis(QStringLiteral("最終行 = \t2\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
    const QStringList messages = {
        QStringLiteral("[OK](ボタン)を、クリックします。"),
        QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"),
        QStringLiteral("[閉じる](ボタン)を、クリックします。")};
    for (int i = 0; i < messages.size(); ++i) {
        const QByteArray m = toShiftJis(messages[i]);
        file += "\t202612060905030" + QByteArray::number(i) + "    \t\t" +
                QByteArray::number(i + 1) + "\t" + m + QByteArray(100 - m.size(), ' ') +
                "\tjpg\t\r\n";
    }
    return file;
}

struct Home {
    QTemporaryDir dir;
    Home() {
        QDir().mkpath(dir.path() + "/data");
        QFile f(dir.path() + "/data/OpList.txt");
        if (f.open(QIODevice::WriteOnly)) f.write(opListBytes());
    }
    QByteArray opList() const {
        QFile f(dir.path() + "/data/OpList.txt");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(MainWindow, ListsTheStepsOfTheCaptureFolder) {
    Home home;
    qputenv(kProgramFolderEnv, home.dir.path().toLocal8Bit());
    resetProgramFolder();
    conf() = Settings();
    {
        TestWindow tw;
        frmKlavoro& w = tw.window();
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.reloadList();
        EXPECT_EQ(w.lstRecord->model()->rowCount(), 3);
        EXPECT_EQ(w.windowTitle(),
                  QStringLiteral("クラヴォロ ") + versionText() + QStringLiteral("  －  data"));
        EXPECT_EQ(w.lstRecord->currentIndex().row(), 1); // the header's current step
        EXPECT_EQ(w.statusText(), QStringLiteral("ロード完了！"));
        const QString shown =
            w.lstRecord->model()->data(w.lstRecord->model()->index(2, 0)).toString();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("3\t2026120609050302")));
        EXPECT_TRUE(shown.contains(QStringLiteral("[閉じる](ボタン)")));
        // The visible line is drawn with the text, not an empty row.
        const QRect r = w.lstRecord->visualRect(w.lstRecord->model()->index(0, 0));
        EXPECT_GT(r.height(), 0);
        w.close();
    }
    EXPECT_EQ(home.opList(), opListBytes()); // written back unchanged on close
    qunsetenv(kProgramFolderEnv);
    resetProgramFolder();
}

// The program itself: starts on a capture folder, shows its title, and on a
// window-manager close writes the list back and exits cleanly.
TEST(MainWindow, ProgramStartsOnTheCaptureFolderAndClosesCleanly) {
    Home home;
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kProgramFolderEnv, home.dir.path());
    proc.setProcessEnvironment(env);
    proc.start(KLAVORO_BINARY, {});
    ASSERT_TRUE(proc.waitForStarted(5000));

    x11::X11Desktop desktop;
    ASSERT_TRUE(desktop.isOpen());
    const QString title =
        QStringLiteral("クラヴォロ ") + versionText() + QStringLiteral("  －  data");
    QList<WindowId> found;
    QElapsedTimer t;
    t.start();
    // Only the program's own window counts (an earlier test's may linger).
    auto ours = [&] {
        QList<WindowId> list;
        for (WindowId w : desktop.findTopLevelWindows(title))
            if (desktop.windowProcessId(w) == proc.processId()) list << w;
        return list;
    };
    while ((found = ours()).isEmpty() && t.elapsed() < 10000)
        QTest::qWait(50);
    ASSERT_EQ(found.size(), 1) << "no window titled " << title.toStdString();
    EXPECT_TRUE(QFile::exists(home.dir.path() + "/log.txt"));

    desktop.requestClose(found[0]);
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
    EXPECT_EQ(home.opList(), opListBytes());
}

TEST(MainWindow, WithoutADisplayTheProgramSaysWhatToDo) {
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    proc.setProcessEnvironment(env);
    proc.start(KLAVORO_BINARY, {});
    ASSERT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitCode(), 2);
    const QString err = QString::fromUtf8(proc.readAllStandardError());
    EXPECT_TRUE(err.contains("DISPLAY"));
    EXPECT_TRUE(err.contains("xvfb-run"));
}
