#include "platform/x11/dbusinputmethod.h"
#include "platform/x11/ibusengines.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepsearch.h"
#include "tests/desktop/fixtureapp.h"
#include "ui/frmsearch.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class NoHost : public StepSearchHost {
public:
    void selectLine(int) override {}
    bool saveList() override { return true; }
};

bool busNameOwned(const QString& name) {
    QDBusMessage msg = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner");
    msg << name;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(msg, QDBus::Block, 500);
    return !reply.arguments().isEmpty() && reply.arguments().at(0).toBool();
}

// fcitx5's own state of the focused input context: 0 none, 1 inactive, 2 active.
int fcitxState() {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall("org.fcitx.Fcitx5", "/controller",
                                       "org.fcitx.Fcitx.Controller1", "State"),
        QDBus::Block, 500);
    return reply.arguments().isEmpty() ? -1 : reply.arguments().at(0).toInt();
}

// A framework daemon of our own, stopped by its process at the end.
struct Daemon {
    QTemporaryDir config;
    QProcess process;
    ~Daemon() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000)) {
                process.kill();
                process.waitForFinished(3000);
            }
        }
    }
    void write(const QString& rel, const QByteArray& text) {
        const QString path = config.path() + '/' + rel;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(text);
    }
    // `ownConfig` false: the desktop session's configuration folder.
    bool start(const QString& program, const QStringList& args, bool ownConfig = true,
               const QString& pathFirst = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (ownConfig) env.insert("XDG_CONFIG_HOME", config.path());
        if (!pathFirst.isEmpty()) env.insert("PATH", pathFirst + ':' + env.value("PATH"));
        process.setProcessEnvironment(env);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, args);
        return process.waitForStarted(5000);
    }
};

// A focused text field: the framework's input context for this process.
struct FocusedField {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    FocusedField() {
        window.resize(300, 80);
        window.show();
        window.activateWindow();
        edit->setFocus();
    }
};

// The run that starts real frameworks (ctest desktop_tests_im, with
// QT_IM_MODULE=fcitx so that our fields talk to fcitx5).
bool frameworkRun() {
    return qEnvironmentVariable("KLAVORO_IM_TESTS") == QLatin1String("1");
}

QDBusMessage ibusCall(const QDBusConnection& bus, const QString& iface, const QString& method,
                      const QVariantList& args) {
    QDBusMessage msg = QDBusMessage::createMethodCall("org.freedesktop.IBus",
                                                      "/org/freedesktop/IBus", iface, method);
    msg.setArguments(args);
    return bus.call(msg, QDBus::Block, 2000);
}

QString ibusGlobalEngine(const QDBusConnection& bus) {
    const QDBusMessage reply =
        ibusCall(bus, "org.freedesktop.DBus.Properties", "Get",
                 {QStringLiteral("org.freedesktop.IBus"), QStringLiteral("GlobalEngine")});
    if (reply.arguments().isEmpty()) return {};
    // v(v(("IBusEngineDesc", a{sv}, name, ...)))
    QVariant v = reply.arguments().at(0);
    while (v.userType() == qMetaTypeId<QDBusVariant>())
        v = v.value<QDBusVariant>().variant();
    const QDBusArgument arg = v.value<QDBusArgument>();
    if (arg.currentType() == QDBusArgument::VariantType) {
        QDBusVariant inner;
        arg >> inner;
        v = inner.variant();
    }
    const QDBusArgument desc = v.value<QDBusArgument>();
    QString type, name;
    desc.beginStructure();
    desc >> type;
    desc.asVariant();
    desc >> name;
    desc.endStructure();
    return name;
}

} // namespace

// The private desktop runs no input-method framework.
TEST(DBusInputMethod, WithoutAFrameworkItIsClosedAndSettingDoesNothing) {
    if (frameworkRun()) GTEST_SKIP() << "this run starts frameworks";
    x11::DBusInputMethod im;
    EXPECT_FALSE(im.isAvailable());
    EXPECT_TRUE(im.frameworkName().isEmpty());
    EXPECT_FALSE(im.isOpen());
    im.setOpen(true);
    EXPECT_FALSE(im.isOpen());
    conf() = Settings();
    conf().editMode = 1;
    StepList list;
    NoHost host;
    {
        frmSearch w(list, host, &im);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
        pause(50);
        EXPECT_EQ(w.lblIME->text(), QStringLiteral("English"));
        w.close();
    }
    EXPECT_EQ(conf().editMode, 1);
    conf() = Settings();
}

TEST(DBusInputMethod, IBusAddressFollowsTheDisplay) {
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldDisplay = qgetenv("DISPLAY");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("DISPLAY", ":7.0");
    qunsetenv("IBUS_ADDRESS");
    QFile idFile("/etc/machine-id");
    QFile dbusId("/var/lib/dbus/machine-id");
    QString id;
    if (dbusId.open(QIODevice::ReadOnly)) id = QString::fromLatin1(dbusId.readAll().trimmed());
    if (id.isEmpty() && idFile.open(QIODevice::ReadOnly))
        id = QString::fromLatin1(idFile.readAll().trimmed());
    if (!id.isEmpty()) {
        QDir().mkpath(config.path() + "/ibus/bus");
        QFile f(config.path() + "/ibus/bus/" + id + "-unix-7");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("# comment\nIBUS_ADDRESS=unix:abstract=/tmp/dbus-x,guid=1\nIBUS_DAEMON_PID=1\n");
        f.close();
        EXPECT_EQ(x11::ibusAddress(), QStringLiteral("unix:abstract=/tmp/dbus-x,guid=1"));
    }
    qputenv("DISPLAY", ":8");
    EXPECT_TRUE(x11::ibusAddress().isEmpty());
    qputenv("XDG_CONFIG_HOME", oldConfig);
    qputenv("DISPLAY", oldDisplay);
    EXPECT_TRUE(x11::isIbusLayoutEngine("xkb:jp::jpn"));
    EXPECT_FALSE(x11::isIbusLayoutEngine("anthy"));
}

// A real fcitx5 with two keyboard input methods, the second one being "open".
// Its state belongs to the focused field, reached through Qt's fcitx module.
TEST(InputMethodFramework, Fcitx5StateIsReadAndSwitched) {
    if (!frameworkRun()) GTEST_SKIP() << "run by ctest desktop_tests_im";
    const QString program = QStandardPaths::findExecutable("fcitx5");
    if (program.isEmpty()) GTEST_SKIP() << "fcitx5 is not installed";
    Daemon fcitx;
    fcitx.write("fcitx5/profile", "[Groups/0]\nName=Default\nDefault Layout=us\n"
                                  "DefaultIM=keyboard-jp\n\n"
                                  "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                  "[Groups/0/Items/1]\nName=keyboard-jp\nLayout=\n\n"
                                  "[GroupOrder]\n0=Default\n");
    ASSERT_TRUE(fcitx.start(program, {"--disable=all", "--enable=dbus,dbusfrontend,xcb,keyboard"}));
    ASSERT_TRUE(waitUntil([] { return busNameOwned("org.fcitx.Fcitx5"); }, 10000));

    FocusedField field;
    ASSERT_TRUE(waitUntil([] { return fcitxState() >= 1; }, 10000)) << "no input context";
    x11::DBusInputMethod im;
    ASSERT_TRUE(im.isAvailable());
    EXPECT_EQ(im.frameworkName(), QStringLiteral("fcitx5"));
    EXPECT_FALSE(im.isOpen());
    im.setOpen(true);
    EXPECT_TRUE(waitUntil([&] { return im.isOpen(); }, 2000));
    EXPECT_EQ(fcitxState(), 2);
    im.setOpen(false);
    EXPECT_TRUE(waitUntil([&] { return !im.isOpen(); }, 2000));

    // The search window opens its field as `edit mode` says and stores it back.
    conf() = Settings();
    conf().editMode = 1;
    StepList list;
    NoHost host;
    {
        frmSearch w(list, host, &im);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_TRUE(waitUntil([&] { return w.lblIME->text() == QStringLiteral("日本語"); }, 3000));
        QTest::mouseClick(w.lblIME, Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return w.lblIME->text() == QStringLiteral("English"); }, 3000));
        w.close();
    }
    EXPECT_EQ(conf().editMode, 0);
    conf() = Settings();
}

// A real IBus daemon with the Japanese engine anthy after a keyboard layout.
TEST(InputMethodFramework, IBusGlobalEngineIsReadAndSwitched) {
    if (!frameworkRun()) GTEST_SKIP() << "run by ctest desktop_tests_im";
    const QString program = QStandardPaths::findExecutable("ibus-daemon");
    if (program.isEmpty() || !QFile::exists("/usr/share/ibus/component/anthy.xml"))
        GTEST_SKIP() << "ibus and ibus-anthy are not installed";
    // The user's engines live in the desktop settings: a keyboard layout, then anthy.
    QProcess gsettings;
    gsettings.start("gsettings", {"set", "org.freedesktop.ibus.general", "preload-engines",
                                  "['xkb:jp::jpn', 'anthy']"});
    ASSERT_TRUE(gsettings.waitForFinished(10000));
    ASSERT_EQ(gsettings.exitCode(), 0);
    ASSERT_EQ(x11::ibusPreloadEngines(), (QStringList{"xkb:jp::jpn", "anthy"}));
    Daemon ibus;
    // The engine is a Python program that needs Debian's own interpreter.
    ASSERT_TRUE(ibus.start(program, {"--single", "--panel=disable", "--emoji-extension=disable"},
                           false, "/usr/bin"));
    QString address;
    ASSERT_TRUE(waitUntil([&] { return !(address = x11::ibusAddress()).isEmpty(); }, 15000));
    const QDBusConnection bus = QDBusConnection::connectToBus(address, "test-ibus");
    ASSERT_TRUE(waitUntil(
        [&] {
            return !ibusCall(bus, "org.freedesktop.DBus.Properties", "Get",
                             {QStringLiteral("org.freedesktop.IBus"), QStringLiteral("Address")})
                        .arguments()
                        .isEmpty();
        },
        10000));
    x11::DBusInputMethod im(2000);
    ASSERT_TRUE(im.isAvailable());
    EXPECT_EQ(im.frameworkName(), QStringLiteral("ibus"));
    EXPECT_FALSE(im.isOpen()); // no engine chosen yet
    im.setOpen(true);
    EXPECT_TRUE(waitUntil([&] { return im.isOpen(); }, 5000));
    EXPECT_EQ(ibusGlobalEngine(bus), QStringLiteral("anthy"));
    im.setOpen(false);
    EXPECT_TRUE(waitUntil([&] { return !im.isOpen(); }, 5000));
    EXPECT_EQ(ibusGlobalEngine(bus), QStringLiteral("xkb:jp::jpn"));
    QDBusConnection::disconnectFromBus("test-ibus");
}
