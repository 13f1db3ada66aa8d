// Window queries on windows of this process that the tests make.
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32handles.h"
#include "tests/win32/testsupport.h"

#include <QDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace klavoro::win32 {
namespace {

using test::pump;
using test::pumpUntil;

const QString kTitle = QStringLiteral("クラヴォロ 窓のテスト");

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->setWindowTitle(kTitle);
        window->setGeometry(120, 140, 320, 220);
        child = new QWidget(window.get());
        child->setAttribute(Qt::WA_NativeWindow); // a window of its own, as a control has
        child->setGeometry(20, 30, 100, 60);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(toHwnd(window->winId())); }));
        pump(200);
        top = window->winId();
    }

    Win32Desktop desktop;
    std::unique_ptr<QWidget> window;
    QWidget* child = nullptr;
    WindowId top = 0;
};

TEST_F(DesktopTest, TheWindowAtAPointAndItsFamily) {
    const QPoint inside = window->geometry().center() + QPoint(60, 40); // beside the child
    EXPECT_EQ(desktop.topLevelWindow(desktop.windowAt(inside)), top);
    EXPECT_EQ(desktop.topLevelWindow(top), top);
    EXPECT_EQ(desktop.parent(top), 0u) << "a top-level window without owner has no parent";

    const QPoint onChild = child->mapToGlobal(QPoint(50, 30));
    const WindowId c = desktop.windowAt(onChild);
    EXPECT_EQ(c, WindowId(child->winId()));
    EXPECT_EQ(desktop.parent(c), top);
    EXPECT_EQ(desktop.topLevelWindow(c), top);
    EXPECT_EQ(desktop.owner(c), 0u);

    QDialog dialog(window.get());
    dialog.setWindowTitle(QStringLiteral("ダイアログ"));
    dialog.show();
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(toHwnd(dialog.winId())); }));
    const WindowId d = dialog.winId();
    EXPECT_EQ(desktop.topLevelWindow(d), d);
    EXPECT_EQ(desktop.owner(d), top);
    EXPECT_EQ(desktop.parent(d), top) << "a dialog's parent is its owner";
}

TEST_F(DesktopTest, NamesTitlesAndProcess) {
    EXPECT_EQ(desktop.windowTitle(top), kTitle);
    EXPECT_TRUE(desktop.className(top).startsWith(QLatin1String("Qt")))
        << desktop.className(top).toStdString();
    EXPECT_TRUE(desktop.findTopLevelWindows(QStringLiteral("窓のテスト")).contains(top));
    EXPECT_FALSE(desktop.findTopLevelWindows(QStringLiteral("ない窓の名前")).contains(top));
    EXPECT_EQ(desktop.processId(top), qint64(GetCurrentProcessId()));
}

TEST_F(DesktopTest, RectanglesIncludeTheFrameAndContentDoesNot) {
    const QRect client = window->geometry();
    const QRect frame = desktop.windowRect(top);
    EXPECT_EQ(desktop.contentRect(top), client);
    EXPECT_TRUE(frame.contains(client)) << "frame " << frame.x() << "," << frame.y() << " "
                                        << frame.width() << "x" << frame.height();
    EXPECT_LT(frame.top(), client.top()) << "the title bar lies above the content";
    EXPECT_EQ(desktop.windowRect(child->winId()),
              QRect(child->mapToGlobal(QPoint(0, 0)), child->size()));
}

TEST_F(DesktopTest, ForegroundFocusAndOpacity) {
    desktop.setForegroundWindow(top);
    ASSERT_TRUE(pumpUntil([&] { return desktop.foregroundWindow() == top; }));
    EXPECT_EQ(desktop.topLevelWindow(desktop.focusedWindow()), top);

    EXPECT_EQ(desktop.windowOpacity(top), 255);
    EXPECT_TRUE(desktop.setWindowOpacity(top, 128));
    EXPECT_EQ(desktop.windowOpacity(top), 128);
    EXPECT_TRUE(desktop.setWindowOpacity(top, 255));
    EXPECT_EQ(desktop.windowOpacity(top), 255);
}

TEST_F(DesktopTest, AWindowThatIsGoneAnswersEmpty) {
    EXPECT_TRUE(desktop.windowExists(top));
    window.reset();
    pump(100);
    EXPECT_FALSE(desktop.windowExists(top));
    EXPECT_EQ(desktop.topLevelWindow(top), 0u);
    EXPECT_EQ(desktop.parent(top), 0u);
    EXPECT_TRUE(desktop.windowTitle(top).isEmpty());
    EXPECT_TRUE(desktop.windowRect(top).isEmpty());
    EXPECT_EQ(desktop.processId(top), 0);
}

} // namespace
} // namespace klavoro::win32
