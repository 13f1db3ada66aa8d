// What an interrupted atomic write leaves behind goes at the next start or
// load of its folder, and nothing else does.
#include "edittesting.h"
#include "store/textfile.h"

#include <QDateTime>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void age(const QString& path, int seconds) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                              QFileDevice::FileModificationTime));
}

// Kills a process that keeps writing `path` until it left a temporary.
void interruptWrites(const QString& path) {
    const QByteArray big(2 * 1024 * 1024, 'x');
    for (int round = 0; round < 200; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;)
                writeWholeFileBytes(path, big);
        }
        usleep(3000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (const QString& e : entries(QFileInfo(path).absolutePath()))
            if (e.startsWith('.' + QFileInfo(path).fileName() + ".tmp")) return;
    }
    FAIL() << "no write was cut off";
}

} // namespace

TEST(LeftTemporaries, OnlyTheWritersOwnNamesGo) {
    ScratchHome home;
    const QString dir = home.path("d");
    QDir().mkpath(dir);
    const QStringList ours = {".OpList.txt.tmpAb12Cd", ".OpList.txt.tmpXXXXXX"};
    const QStringList users = {"OpList.txt",
                               "OpList.txt.tmpAb12Cd",
                               ".OpList.txt.tmpAb12C",
                               ".OpList.txt.tmpAb12C!",
                               ".OpList.txt.tmpAb12Cde",
                               ".Other.txt.tmpAb12Cd",
                               ".OpList.txt.tmp",
                               "..tmpAb12Cd"};
    for (const QString& n : ours + users)
        writeBytes(dir + '/' + n, "x");
    QDir().mkpath(dir + "/.OpList.txt.tmpFolder"); // a folder is never ours
    EXPECT_TRUE(isTemporaryOf(".OpList.txt.tmpAb12Cd", "OpList.txt"));
    EXPECT_FALSE(isTemporaryOf(".OpList.txt.tmpAb12Cd", "Conf.txt"));

    EXPECT_EQ(removeLeftTemporaries(dir, "OpList.txt"), 2);
    QStringList left = users;
    left << ".OpList.txt.tmpFolder";
    left.sort();
    EXPECT_EQ(entries(dir), left);
    EXPECT_EQ(removeLeftTemporaries(home.path("missing"), "OpList.txt"), 0);
}

// An image write may still be under way on the image thread: only a
// temporary that nobody touched for a while is taken for a leftover.
TEST(LeftTemporaries, ImageTemporariesGoOnlyWhenOld) {
    ScratchHome home;
    const QString dir = home.path("d");
    QDir().mkpath(dir);
    for (const char* n : {".2026120609050304.jpg.tmpAAAAAA", ".a.PNG.tmpBBBBBB",
                          ".notes.txt.tmpCCCCCC", "2026120609050304.jpg"})
        writeBytes(dir + '/' + n, "x");
    EXPECT_EQ(removeLeftImageTemporaries(dir, 60), 0);
    age(dir + "/.2026120609050304.jpg.tmpAAAAAA", 120);
    age(dir + "/.notes.txt.tmpCCCCCC", 120);
    EXPECT_EQ(removeLeftImageTemporaries(dir, 60), 1);
    EXPECT_EQ(entries(dir),
              QStringList({".a.PNG.tmpBBBBBB", ".notes.txt.tmpCCCCCC", "2026120609050304.jpg"}));
    EXPECT_EQ(removeLeftImageTemporaries(dir, 0), 1);
}

TEST(LeftTemporaries, LoadingTheCaptureFolderRemovesWhatACutWriteLeft) {
    EditBench b;
    b.addSteps(2);
    ASSERT_TRUE(b.ops.save());
    const QByteArray saved = readBytes(b.file("OpList.txt"));
    interruptWrites(b.file("NO_RECT/OpList.txt"));
    b.put(".OpList.txt.tmpQwErTy", "cut off");
    b.put(".20260101000000.jpg.tmpQwErTy", "cut off");
    age(b.file(".20260101000000.jpg.tmpQwErTy"), 600);
    b.put("notes.txt", "mine");

    b.steps.clear();
    ASSERT_TRUE(b.ops.load());
    EXPECT_EQ(b.steps.count(), 2);
    const QRegularExpression tmp("\\.tmp[A-Za-z0-9]{6}$");
    for (const QString& e : entries(b.folder()) + entries(b.file("NO_RECT")))
        EXPECT_FALSE(tmp.match(e).hasMatch()) << qPrintable(e);
    EXPECT_TRUE(b.exists("notes.txt"));
    EXPECT_EQ(readBytes(b.file("OpList.txt")), saved);
}

TEST(BackupCopy, SixteenDigitTimeAndNeverOverAnotherBackup) {
    ScratchHome home;
    const QString path = home.path("Conf.txt");
    writeBytes(path, "one");
    const QString first = keepBackupCopy(path);
    writeBytes(path, "two");
    const QString second = keepBackupCopy(path);
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo(first).fileName().contains(
        QRegularExpression("^Conf\\.txt\\.[0-9]{16}(-[0-9]+)?\\.bak$")));
    EXPECT_EQ(readBytes(first), "one");
    EXPECT_EQ(readBytes(second), "two");

    QString error;
    EXPECT_TRUE(keepBackupCopy(home.path("missing.txt"), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}
