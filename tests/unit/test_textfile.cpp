#include "store/logs.h"
#include "store/sjis.h"
#include "store/textfile.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace klavoro;
using namespace klavoro::test;

TEST(ReadTextFile, MissingEmptyAndEachCharset) {
    ScratchHome home;
    FakeDialogs dialogs;
    bool ok = false;
    EXPECT_EQ(readTextFile(home.path("none.txt"), "shift-jis", &dialogs, &ok), QString());
    EXPECT_TRUE(ok);
    writeBytes(home.path("empty.txt"), QByteArray());
    EXPECT_EQ(readTextFile(home.path("empty.txt"), "utf-8", &dialogs, &ok), QString());
    EXPECT_TRUE(ok);

    writeBytes(home.path("sjis.txt"), QByteArray("\x83\x4E\x83\x8A\x83\x62\x83\x4E\r\n"));
    EXPECT_EQ(readTextFile(home.path("sjis.txt"), "shift-jis", &dialogs),
              QStringLiteral("クリック\r\n"));
    writeBytes(home.path("utf16.txt"), QByteArray("\xFF\xFE\x06\x30\x42\x30", 6));
    EXPECT_EQ(readTextFile(home.path("utf16.txt"), "unicode", &dialogs), QStringLiteral("〆あ"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(ReadTextFile, ErrorIsShownUnderItsTitleAndGivesEmptyText) {
    ScratchHome home;
    FakeDialogs dialogs;
    // A folder where a file is expected cannot be read; the message names
    // that, whatever an earlier call left in errno.
    QDir().mkpath(home.path("folder.txt"));
    bool ok = true;
    QString error;
    errno = EILSEQ;
    EXPECT_EQ(readTextFile(home.path("folder.txt"), "shift-jis", &dialogs, &ok, &error), QString());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.startsWith(QString::number(EISDIR) + u' ')) << error.toStdString();
    ASSERT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("MyFileWrite"));
    EXPECT_TRUE(dialogs.messages[0].endsWith(QStringLiteral("\r\n\r\n") + home.path("folder.txt")));

    writeBytes(home.path("x"), "x");
    EXPECT_EQ(readTextFile(home.path("x"), "ebcdic", &dialogs, &ok), QString());
    EXPECT_FALSE(ok);
}

TEST(WriteWholeFile, WritesShiftJisBytesAndKeepsPermissions) {
    ScratchHome home;
    const QString path = home.path("OpList.txt");
    ASSERT_TRUE(writeWholeFile(path, QStringLiteral("最終行\r\n\\")));
    EXPECT_EQ(readBytes(path), QByteArray("\x8D\xC5\x8F\x49\x8D\x73\r\n\\"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const auto before = QFileInfo(path).permissions();
    ASSERT_TRUE(writeWholeFile(path, QStringLiteral("b")));
    EXPECT_EQ(readBytes(path), QByteArray("b"));
    EXPECT_EQ(QFileInfo(path).permissions(), before);
    // No temporary file stays behind.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"OpList.txt"});
}

TEST(WriteWholeFile, GivesUpAfterFiveAttemptsWhenTheFolderIsMissing) {
    ScratchHome home;
    QString error;
    EXPECT_FALSE(writeWholeFile(home.path("no/such/folder/OpList.txt"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

// A write that fails half-way (here: the file-size limit, which even root
// obeys) must leave the old file exactly as it was.
TEST(WriteWholeFile, FailedWriteLeavesTheOldFileWhole) {
    ScratchHome home;
    const QString path = home.path("OpList.txt");
    const QByteArray old(5000, 'o');
    writeBytes(path, old);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &lim);
        _exit(writeWholeFileBytes(path, QByteArray(20000, 'n')) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have been reported as failed";
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"OpList.txt"});
}

// Kill a process that keeps rewriting a file at random moments: every time,
// the file is one of the two contents, whole.
TEST(WriteWholeFile, KilledWriterNeverLeavesABrokenFile) {
    ScratchHome home;
    const QString path = home.path("OpList.txt");
    const QByteArray a(300000, 'a'), b(200000, 'b');
    writeBytes(path, a);
    std::mt19937 rng(42);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            for (int i = 0;; ++i)
                writeWholeFileBytes(path, i % 2 ? a : b);
        }
        usleep(1000 + rng() % 15000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QByteArray now = readBytes(path);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

TEST(TextFileOps, AppendCreateAndDeleteWithWildcards) {
    ScratchHome home;
    const QString log = home.path("a.txt");
    ASSERT_TRUE(appendLine(log, QStringLiteral("一")));
    ASSERT_TRUE(appendLine(log, QStringLiteral("b")));
    EXPECT_EQ(readBytes(log), QByteArray("\x88\xEA\r\nb\r\n"));
    createEmptyFile(log);
    EXPECT_EQ(QFileInfo(log).size(), 0);

    for (const char* n : {"2026.jpg", "2026.png", "2026x.jpg", "20261.bmp", "a.txt"})
        writeBytes(home.path(n), "x");
    deleteFileAndWait(home.path("2026.*"));
    EXPECT_FALSE(QFile::exists(home.path("2026.jpg")));
    EXPECT_FALSE(QFile::exists(home.path("2026.png")));
    EXPECT_TRUE(QFile::exists(home.path("2026x.jpg")));
    deleteFileAndWait(home.path("2026?.*"));
    EXPECT_FALSE(QFile::exists(home.path("20261.bmp")));
    EXPECT_FALSE(QFile::exists(home.path("2026x.jpg")));
    EXPECT_TRUE(QFile::exists(home.path("a.txt")));
    deleteFileAndWait(home.path("missing.*")); // nothing to do, returns at once
}

TEST(TextFileOps, WildcardMatching) {
    EXPECT_TRUE(wildcardMatch("*.jpg", "a.jpg"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYYc"));
    EXPECT_TRUE(wildcardMatch("a?c", "abc"));
    EXPECT_FALSE(wildcardMatch("a?c", "ac"));
    EXPECT_FALSE(wildcardMatch("*.jpg", "a.jpeg"));
    EXPECT_TRUE(wildcardMatch("[x].*", "[x].png")); // brackets are plain characters
    EXPECT_TRUE(wildcardMatch("*", ""));
}

TEST(TextFileOps, CopyAndDeleteFolderTrees) {
    ScratchHome home;
    QDir().mkpath(home.path("src/js/sub"));
    writeBytes(home.path("src/js/a.js"), "new");
    writeBytes(home.path("src/js/sub/b.js"), "b");
    QDir().mkpath(home.path("dst/js"));
    writeBytes(home.path("dst/js/a.js"), "old");
    EXPECT_EQ(copyFolder(home.path("src"), home.path("dst")), 0);
    EXPECT_EQ(readBytes(home.path("dst/js/a.js")), QByteArray("new"));
    EXPECT_EQ(readBytes(home.path("dst/js/sub/b.js")), QByteArray("b"));
    EXPECT_EQ(copyFolder(home.path("nothing"), home.path("dst2")), -1);
    deleteFolder(home.path("dst/"));
    EXPECT_FALSE(QFileInfo::exists(home.path("dst")));
    EXPECT_TRUE(createFolderTree(home.path("p/q/r")));
    EXPECT_FALSE(createFolderTree(QString()));
}

TEST(Logs, EntryFormatsAndReset) {
    EXPECT_EQ(logEntry("2026120609050304", "abc"), QStringLiteral("2026120609050304: abc\r\n"));
    EXPECT_EQ(exeLogEntry("2026120609050304", "abc"), QStringLiteral("2026120609050304: \r\n") +
                                                          QString(44, '-') +
                                                          QStringLiteral("\r\nabc\r\n"));
    ScratchHome home;
    writeLog(QStringLiteral("エラー"));
    writeLog(QString()); // nothing
    const QByteArray bytes = readBytes(home.path("log.txt"));
    EXPECT_EQ(bytes.size(), 16 + 2 + 6 + 2);
    EXPECT_TRUE(bytes.endsWith(": " + toShiftJis(QStringLiteral("エラー")) + "\r\n"));
    writeLog(QString(), true);
    EXPECT_EQ(readBytes(home.path("log.txt")), QByteArray());
    writeExeLog(QStringLiteral("x"), true);
    EXPECT_TRUE(readBytes(home.path("log_exe.txt")).endsWith("\r\nx\r\n"));
}
