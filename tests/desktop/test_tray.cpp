#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/trayhost.h"
#include "ui/trayicon.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct TrayTest : ::testing::Test {
    TrayTest()
        : tray([this]() -> QWidget* { return &window; }, {.menu = [this] { return &menu; },
                         .status = [this](const QString& s) { statuses << s; },
                         .reselect = [this] { ++reselected; }}) {
        window.setWindowTitle(QStringLiteral("tray test"));
        window.resize(300, 200);
        menu.addAction(QStringLiteral("停止"));
    }
    void showWindow() {
        window.show();
        waitUntil([&] { return window.isVisible(); });
    }
    void click(QPoint p, MouseButton b, int times = 1) {
        input.moveTo(p);
        pause(50);
        for (int i = 0; i < times; ++i) {
            input.button(b, true);
            pause(20);
            input.button(b, false);
            pause(40);
        }
    }
    // Red pixels of the icon as it is on the screen.
    int redPixels() {
        const QImage shot = screen.copy(tray.geometry());
        int red = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                if (qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90) ++red;
            }
        return red;
    }

    QWidget window;
    QMenu menu;
    QStringList statuses;
    int reselected = 0;
    TrayIcon tray;
    x11::X11SyntheticInput input;
    x11::X11ScreenCopy screen;
};

} // namespace

TEST_F(TrayTest, WithATrayHostTheWindowHidesInTheIconAndComesBack) {
    TrayHost host;
    ASSERT_TRUE(host.start()) << "trayer did not take the notification area";
    showWindow();
    ASSERT_TRUE(tray.isAvailable());
    ASSERT_TRUE(tray.add(QStringLiteral("クラヴォロ Ver1.00 － 3")));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray.isShown());
    ASSERT_TRUE(waitUntil([&] { return tray.geometry().width() > 4; }, 5000))
        << "the icon was never embedded";
    EXPECT_TRUE(statuses.isEmpty());

    // The capturing picture is the one with the red dot.
    pause(200);
    const int redNormal = redPixels();
    tray.setCapturing(true);
    EXPECT_TRUE(waitUntil([&] { return redPixels() > redNormal + 10; }, 3000));
    tray.setCapturing(false);
    EXPECT_TRUE(waitUntil([&] { return redPixels() <= redNormal; }, 3000));

    // Right button: the main window's pop-up menu.
    const QPoint centre = tray.geometry().center();
    click(centre, MouseButton::Right);
    EXPECT_TRUE(waitUntil([&] { return menu.isVisible(); }, 3000));
    menu.hide();
    EXPECT_FALSE(window.isVisible());

    // Double click: the window is back, the icon gone, the step selected again.
    click(centre, MouseButton::Left, 2);
    EXPECT_TRUE(waitUntil([&] { return window.isVisible(); }, 3000));
    EXPECT_FALSE(tray.isShown());
    EXPECT_EQ(reselected, 1);
}

TEST_F(TrayTest, WithoutATrayHostTheWindowIsMinimisedAndTheUserToldOnce) {
    if (TrayHost::trayPresent()) GTEST_SKIP() << "this desktop has a notification area";
    showWindow();
    EXPECT_FALSE(tray.isAvailable());
    EXPECT_FALSE(tray.add(QStringLiteral("tip")));
    EXPECT_TRUE(waitUntil([&] { return window.isMinimized(); }, 3000));
    EXPECT_FALSE(window.isHidden()); // still reachable from the task bar
    EXPECT_FALSE(tray.isShown());
    EXPECT_FALSE(tray.add(QStringLiteral("tip")));
    EXPECT_EQ(statuses.size(), 1);
    EXPECT_TRUE(statuses.value(0).contains(QStringLiteral("最小化")));
    tray.remove(true);
    EXPECT_TRUE(waitUntil([&] { return !window.isMinimized() && window.isVisible(); }, 3000));
    EXPECT_EQ(reselected, 1);
}
