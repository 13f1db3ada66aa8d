// The program as the package installs it: a first start of a new user keeps
// its files in the XDG folders. tests/package/check-package installs the
// package into a scratch root and names it in KLAVORO_INSTALLED_ROOT.
#include "store/sjis.h"
#include "tests/desktop/programrun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? fromShiftJis(f.readAll()) : QString();
}

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = qEnvironmentVariable("KLAVORO_INSTALLED_ROOT");
        if (m_root.isEmpty()) GTEST_SKIP() << "run by tests/package/check-package";
        ASSERT_TRUE(QFileInfo(binary()).isExecutable()) << qPrintable(binary());
    }

    QString binary() const { return m_root + QStringLiteral("/usr/bin/klavoro"); }

    // A user who never ran the program, with the XDG variables unset.
    static QProcessEnvironment newUser(const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("KLAVORO_HOME"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("HOME"), home);
        return env;
    }

    // Starts, checks the main window, closes it; the settings file's text.
    QString runOnce(const QProcessEnvironment& env, const QString& confFile) {
        ProgramRun run(binary(), env);
        EXPECT_TRUE(run.start());
        const ClientWindow w = run.waitForMainWindow();
        EXPECT_NE(w.id, 0u) << "no main window";
        if (!w.id) return {};
        // The default capture folder, shown relative to the capture base.
        EXPECT_TRUE(w.title.endsWith(QStringLiteral("－  data"))) << qPrintable(w.title);
        EXPECT_FALSE(QFileInfo::exists(confFile)) << "written before the close";
        run.requestClose(w.id);
        EXPECT_TRUE(run.waitForExit());
        EXPECT_EQ(run.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.process().exitCode(), 0);
        return readText(confFile);
    }

    QString m_root;
};

} // namespace

TEST_F(InstalledProgram, FirstStartOfANewUserUsesTheXdgDefaults) {
    QTemporaryDir home;
    const QString config = home.path() + QStringLiteral("/.config/klavoro/");
    const QString conf = runOnce(newUser(home.path()), config + QStringLiteral("Conf.txt"));
    EXPECT_TRUE(conf.startsWith(QStringLiteral("exe name = klavoro\r\n"))) << qPrintable(conf);
    EXPECT_TRUE(conf.contains(QStringLiteral("\r\nsave folder path = data")));
    EXPECT_TRUE(QFileInfo(config + QStringLiteral("log.txt")).isFile());
    EXPECT_TRUE(QFileInfo(config + QStringLiteral("log_exe.txt")).isFile());
    EXPECT_TRUE(QFileInfo(home.path() + QStringLiteral("/.local/share/klavoro/data")).isDir());
    EXPECT_FALSE(QFileInfo::exists(config + QStringLiteral("data")));
    EXPECT_FALSE(QFileInfo::exists(config + QStringLiteral("wait")));
}

TEST_F(InstalledProgram, XdgVariablesChooseTheFolders) {
    QTemporaryDir home, places;
    QProcessEnvironment env = newUser(home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), places.path() + QStringLiteral("/conf"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), places.path() + QStringLiteral("/share"));
    const QString conf = runOnce(env, places.path() + QStringLiteral("/conf/klavoro/Conf.txt"));
    EXPECT_TRUE(conf.contains(QStringLiteral("\r\nsave folder path = data")));
    EXPECT_TRUE(QFileInfo(places.path() + QStringLiteral("/share/klavoro/data")).isDir());
    EXPECT_FALSE(QFileInfo::exists(home.path() + QStringLiteral("/.config/klavoro")));
    EXPECT_FALSE(QFileInfo::exists(home.path() + QStringLiteral("/.local/share/klavoro")));
}
