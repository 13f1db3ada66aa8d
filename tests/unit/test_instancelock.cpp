#include "platform/x11/flockinstancelock.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using klavoro::x11::FlockInstanceLock;

TEST(InstanceLock, OneHolderAtATime) {
    QTemporaryDir dir;
    const QString path = dir.filePath("klavoro-0.lock");
    FlockInstanceLock first(path), second(path);
    ASSERT_TRUE(first.acquire());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.errorText().isEmpty()); // held, not broken
    first.release();
    EXPECT_TRUE(second.acquire());
    EXPECT_FALSE(first.acquire());
}

TEST(InstanceLock, AKilledHolderDoesNotBlockTheNextStart) {
    QTemporaryDir dir;
    const QString path = dir.filePath("klavoro-0.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FlockInstanceLock lock(path);
        const char ok = lock.acquire() ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    FlockInstanceLock mine(path);
    EXPECT_FALSE(mine.acquire());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.acquire());
    close(ready[0]);
    close(ready[1]);
}

TEST(InstanceLock, ChildProcessesDoNotInheritIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("klavoro-0.lock");
    FlockInstanceLock first(path);
    ASSERT_TRUE(first.acquire());
    QProcess editor; // as an editor started from the program would
    editor.start("/bin/sleep", {"5"});
    ASSERT_TRUE(editor.waitForStarted());
    first.release();
    FlockInstanceLock next(path);
    EXPECT_TRUE(next.acquire());
    editor.kill();
    editor.waitForFinished();
}

TEST(InstanceLock, PerDisplayAndAnUnusablePathIsAnError) {
    EXPECT_EQ(FlockInstanceLock::displayKey(":0"), "0");
    EXPECT_EQ(FlockInstanceLock::displayKey(":0.1"), "0");
    EXPECT_EQ(FlockInstanceLock::displayKey("host.lan:12.0"), "host_lan_12");
    EXPECT_EQ(FlockInstanceLock::displayKey(""), "nodisplay");
    FlockInstanceLock broken("/nonexistent-folder/klavoro.lock");
    EXPECT_FALSE(broken.acquire());
    EXPECT_FALSE(broken.errorText().isEmpty());

    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldDisplay = qgetenv("DISPLAY");
    qputenv("XDG_RUNTIME_DIR", QTemporaryDir().path().toLocal8Bit()); // gone already
    qputenv("DISPLAY", ":7");
    EXPECT_TRUE(FlockInstanceLock::defaultPath().endsWith(QStringLiteral("-7.lock")));
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(FlockInstanceLock::defaultPath(), runtime.filePath("klavoro-7.lock"));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("DISPLAY", oldDisplay);
}
