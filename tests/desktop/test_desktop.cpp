#include "platform/x11/posixsharedmemory.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/statusblock.h"
#include "tests/desktop/fixtureapp.h"

#include <QProcess>
#include <QWidget>

#include <unistd.h>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.isOpen()) << desktop.errorText().toStdString();
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        desktop.setForegroundWindow(fixture.window());
        waitUntil([&] { return desktop.foregroundWindow() == fixture.window(); }, 2000);
    }
    FixtureApp& fixture = sharedFixture();
    x11::X11Desktop desktop;
};

bool allPixels(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF)) return false;
    return true;
}

} // namespace

TEST_F(DesktopTest, WindowAtPointTopLevelAndClassOfTheFixture) {
    const WindowId top = fixture.window();
    const QPoint ok = fixture.centre("OK");
    const WindowId at = desktop.windowAt(ok);
    ASSERT_NE(at, 0u);
    EXPECT_EQ(desktop.topLevelWindow(at), top);
    EXPECT_EQ(desktop.topLevelWindow(top), top);
    EXPECT_EQ(desktop.className(at), "klavoro_fixture");
    EXPECT_EQ(desktop.windowTitle(top), "Klavoro Fixture");
    EXPECT_EQ(desktop.processId(at), fixture.pid());
    EXPECT_EQ(desktop.parent(top), 0u); // a top-level window without owner
    EXPECT_EQ(desktop.owner(top), 0u);
    EXPECT_EQ(desktop.findTopLevelWindows("Klavoro Fixture"), QList<WindowId>{top});

    const QRect rect = desktop.windowRect(top);
    EXPECT_TRUE(rect.contains(fixture.geometry("OK")));
    EXPECT_TRUE(rect.contains(fixture.geometry("patch")));
    if (withWindowManager()) {
        // The rectangle includes the title bar, and a point on it gives the window.
        EXPECT_LT(rect.top(), fixture.geometry("OK").top() - 20);
        const QPoint titleBar(rect.center().x(), rect.top() + 5);
        EXPECT_EQ(desktop.windowAt(titleBar), top);
    } else {
        EXPECT_EQ(desktop.parent(top), 0u);
        EXPECT_EQ(rect.topLeft(), QPoint(50, 50)); // where the fixture put itself
    }
    EXPECT_EQ(desktop.foregroundWindow(), top);
}

TEST_F(DesktopTest, EmptyDesktopAndScreen) {
    EXPECT_EQ(desktop.screenSize(), QSize(1280, 1024));
    const WindowId root = desktop.desktopWindow();
    ASSERT_NE(root, 0u);
    EXPECT_EQ(desktop.windowAt({1270, 10}), root);
    EXPECT_EQ(desktop.topLevelWindow(root), root);
    EXPECT_EQ(desktop.parent(root), 0u);
    EXPECT_EQ(desktop.windowRect(root), QRect(0, 0, 1280, 1024));
}

TEST_F(DesktopTest, PointerPositionFollowsSyntheticMoves) {
    x11::X11SyntheticInput input;
    input.moveTo({321, 234});
    waitUntil([&] { return desktop.pointerPosition() == QPoint(321, 234); }, 1000);
    EXPECT_EQ(desktop.pointerPosition(), QPoint(321, 234));
}

TEST_F(DesktopTest, VanishedWindowAnswersEmpty) {
    auto* widget = new QWidget;
    widget->setWindowTitle("Short Lived");
    widget->resize(100, 80);
    widget->show();
    const WindowId id = widget->winId();
    ASSERT_TRUE(waitUntil([&] { return !desktop.windowRect(id).isEmpty(); }));
    delete widget;
    ASSERT_TRUE(waitUntil([&] { return !desktop.windowExists(id); }));
    EXPECT_EQ(desktop.topLevelWindow(id), 0u);
    EXPECT_EQ(desktop.parent(id), 0u);
    EXPECT_EQ(desktop.owner(id), 0u);
    EXPECT_EQ(desktop.className(id), QString());
    EXPECT_EQ(desktop.windowTitle(id), QString());
    EXPECT_EQ(desktop.windowRect(id), QRect());
    EXPECT_EQ(desktop.processId(id), 0);
    EXPECT_FALSE(desktop.setWindowOpacity(id, 100));
    desktop.setForegroundWindow(id); // must not end the process
    desktop.setTopMost(id, true);
    EXPECT_TRUE(desktop.windowExists(fixture.window()));
}

TEST_F(DesktopTest, OpacityIsStoredOnTheWindow) {
    const WindowId top = fixture.window();
    EXPECT_EQ(desktop.windowOpacity(top), 255);
    ASSERT_TRUE(desktop.setWindowOpacity(top, 0));
    EXPECT_EQ(desktop.windowOpacity(top), 0);
    ASSERT_TRUE(desktop.setWindowOpacity(top, 128));
    EXPECT_EQ(desktop.windowOpacity(top), 128);
    ASSERT_TRUE(desktop.setWindowOpacity(top, 255));
    EXPECT_EQ(desktop.windowOpacity(top), 255);
}

TEST_F(DesktopTest, ScreenCopyHasThePaintedColours) {
    x11::X11ScreenCopy screen;
    ASSERT_TRUE(screen.isOpen());
    const QRect patch = fixture.geometry("patch");
    const QRect red(patch.left() + 2, patch.top() + 2, patch.width() / 2 - 4, patch.height() - 4);
    const QRect blue = red.translated(patch.width() / 2, 0);
    const QImage redPart = screen.copy(red);
    ASSERT_EQ(redPart.size(), red.size());
    EXPECT_EQ(redPart.format(), QImage::Format_RGB32);
    EXPECT_TRUE(allPixels(redPart, qRgb(255, 0, 0)));
    EXPECT_TRUE(allPixels(screen.copy(blue), qRgb(0, 0, 255)));
    EXPECT_TRUE(screen.usesSharedMemory());
    // The same through the plain path must agree.
    const QImage whole = screen.copy(patch);
    EXPECT_EQ(whole.copy(red.translated(-patch.topLeft())), redPart);
}

TEST_F(DesktopTest, ScreenCopyIsClampedToTheScreen) {
    x11::X11ScreenCopy screen;
    EXPECT_EQ(screen.copy({1200, 1000, 300, 300}).size(), QSize(80, 24));
    EXPECT_EQ(screen.copy({-50, -50, 100, 100}).size(), QSize(50, 50));
    EXPECT_TRUE(screen.copy({1300, 0, 10, 10}).isNull());
    EXPECT_TRUE(screen.copy({}).isNull());
    EXPECT_EQ(screen.copy({0, 0, 1280, 1024}).size(), QSize(1280, 1024));
}

TEST_F(DesktopTest, CursorImageIsNotEmpty) {
    x11::X11Cursor cursor;
    ASSERT_TRUE(cursor.isOpen()) << cursor.errorText().toStdString();
    const CursorImage image = cursor.currentCursor();
    ASSERT_FALSE(image.image.isNull());
    EXPECT_EQ(image.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(QRect(QPoint(0, 0), image.image.size()).contains(image.hotSpot));
    bool anyVisible = false;
    for (int y = 0; y < image.image.height() && !anyVisible; ++y)
        for (int x = 0; x < image.image.width() && !anyVisible; ++x)
            anyVisible = qAlpha(image.image.pixel(x, y)) > 0;
    EXPECT_TRUE(anyVisible);
}

TEST(StatusBlockDesktop, AnotherProcessReadsTheStatus) {
    // A name of our own: the machine-wide "GetImage" may belong to a running program.
    const QString name = QStringLiteral("klavoro-test-%1").arg(getpid());
    x11::PosixSharedMemory memory;
    StatusBlock block(&memory);
    ASSERT_TRUE(block.open(name));
    ASSERT_TRUE(block.publish("Go"));
    QProcess reader;
    reader.start(QStringLiteral(KLAVORO_FIXTURE), {QStringLiteral("--read-shm"), "/" + name});
    ASSERT_TRUE(reader.waitForFinished(5000));
    const QByteArray expected = QByteArray(4, '\0') + "Go" + QByteArray(30, ' ');
    EXPECT_EQ(reader.readAllStandardOutput().trimmed(), expected.toHex());

    // A second opener sees the block as it is.
    x11::PosixSharedMemory second;
    StatusBlock again(&second);
    ASSERT_TRUE(again.open(name));
    EXPECT_EQ(second.read(0, 36), expected);
    EXPECT_TRUE(again.close());
    EXPECT_TRUE(block.close());
    EXPECT_FALSE(x11::PosixSharedMemory::remove(name)); // the creator removed it on close
}

TEST(NoDisplay, EveryServiceSaysWhyAndNothingCrashes) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    x11::X11Desktop desktop;
    x11::X11InputHook hook;
    x11::X11KeyState keys;
    x11::X11HotKeys hotKeys;
    x11::X11ScreenCopy screen;
    x11::X11Cursor cursor;
    x11::X11SyntheticInput input;
    qputenv("DISPLAY", display);

    EXPECT_FALSE(desktop.isOpen());
    EXPECT_TRUE(desktop.errorText().contains("DISPLAY"));
    EXPECT_EQ(desktop.windowAt({10, 10}), 0u);
    EXPECT_EQ(desktop.foregroundWindow(), 0u);
    EXPECT_TRUE(desktop.findTopLevelWindows("x").isEmpty());
    struct Sink : HookReceiver {
        void hookMessage(const InputMessage&) override {}
    } sink;
    EXPECT_FALSE(hook.SetHook(&sink, 0));
    EXPECT_TRUE(hook.errorText().contains("DISPLAY"));
    EXPECT_EQ(keys.asyncKeyState(65), 0);
    struct NoKeys : HotKeyReceiver {
        void hotKey(int) override {}
    } noKeys;
    EXPECT_EQ(hotKeys.registerHotKey(&noKeys, 1, kModControl | kModShift, 'Z'),
              HotKeyResult::Failed);
    EXPECT_TRUE(screen.copy({0, 0, 10, 10}).isNull());
    EXPECT_TRUE(cursor.currentCursor().image.isNull());
    EXPECT_FALSE(input.pressLeftButton());
}

// Run by the ctest entry whose server lacks MIT-SHM and XTEST.
class MissingExtensions : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("KLAVORO_XVFB_ARGS"))
            GTEST_SKIP() << "needs a server started without the optional extensions";
    }
};

TEST_F(MissingExtensions, ScreenCopyFallsBackToPlainCopies) {
    x11::X11ScreenCopy screen;
    ASSERT_TRUE(screen.isOpen());
    const QImage image = screen.copy({1000, 900, 300, 300});
    EXPECT_EQ(image.size(), QSize(280, 124));
    EXPECT_FALSE(screen.usesSharedMemory());
    EXPECT_TRUE(screen.errorText().contains("MIT-SHM"));
}

TEST_F(MissingExtensions, InjectionSaysWhy) {
    x11::X11SyntheticInput input;
    EXPECT_FALSE(input.isOpen());
    EXPECT_TRUE(input.errorText().contains("XTEST"));
    EXPECT_FALSE(input.pressLeftButton());
    EXPECT_FALSE(input.sendKey('A', false));
    // The desktop itself still answers.
    x11::X11Desktop desktop;
    EXPECT_EQ(desktop.screenSize(), QSize(1280, 1024));
}
