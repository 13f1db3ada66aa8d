// Screen copies, monitors and the cursor image.
#include "platform/win32/win32cursor.h"
#include "platform/win32/win32screencopy.h"
#include "tests/win32/testsupport.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace klavoro::win32 {
namespace {

TEST(ScreenCopyTest, CopiesTheWindowOfAnotherProcessInItsColour) {
    const QRect rect(200, 150, 300, 200);
    test::Helper target = test::Helper::window(rect);
    ASSERT_TRUE(target.hwnd());
    RECT client{};
    GetClientRect(target.hwnd(), &client);
    POINT origin{0, 0};
    ClientToScreen(target.hwnd(), &origin);
    const QRect area(origin.x + 100, origin.y + 60, 120, 80); // beside the button
    Win32ScreenCopy screen;
    const QImage image = screen.copy(area);
    ASSERT_EQ(image.size(), area.size());
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(QColor(image.pixel(60, 40)), test::kTargetColour);
    EXPECT_EQ(QColor(image.pixel(0, 0)), test::kTargetColour);
    EXPECT_EQ(QColor(image.pixel(119, 79)), test::kTargetColour);
}

TEST(ScreenCopyTest, AnAreaIsCutToTheScreen) {
    Win32ScreenCopy screen;
    const QSize size = screen.screenSize();
    ASSERT_GT(size.width(), 0);
    EXPECT_EQ(screen.copy(QRect(size.width() - 50, 10, 200, 30)).size(), QSize(50, 30));
    EXPECT_EQ(screen.copy(QRect(-20, -10, 60, 40)).size(), QSize(40, 30));
    EXPECT_TRUE(screen.copy(QRect(size.width() + 10, 0, 20, 20)).isNull());
    EXPECT_TRUE(screen.copy(QRect()).isNull());
}

TEST(ScreenCopyTest, ThePrimaryMonitorComesFirst) {
    Win32ScreenCopy screen;
    const QList<QRect> monitors = screen.monitors();
    ASSERT_FALSE(monitors.isEmpty());
    EXPECT_EQ(monitors.first().topLeft(), QPoint(0, 0));
    QRect all;
    for (const QRect& m : monitors)
        all |= m;
    EXPECT_EQ(all.size(), screen.screenSize());
}

TEST(CursorTest, TheCurrentCursorHasItsHotSpotInside) {
    // A window that shows the arrow under the pointer.
    QWidget window;
    window.setGeometry(300, 200, 300, 200);
    window.setCursor(Qt::ArrowCursor);
    window.show();
    test::pump(300);
    SetCursorPos(450, 300);
    test::pump(200);
    Win32Cursor cursor;
    const CursorImage c = cursor.currentCursor();
    if (c.image.isNull()) GTEST_SKIP() << "no cursor shown on this desktop";
    EXPECT_EQ(c.image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(QRect(QPoint(0, 0), c.image.size()).contains(c.hotSpot));
    EXPECT_NE(c.serial, 0u);
    bool opaque = false, clear = false;
    for (int y = 0; y < c.image.height(); ++y)
        for (int x = 0; x < c.image.width(); ++x) {
            const int a = qAlpha(c.image.pixel(x, y));
            opaque |= a == 255;
            clear |= a == 0;
        }
    EXPECT_TRUE(opaque && clear) << "a pointer shape with the screen around it";
}

TEST(CursorTest, ThePointerOverAnotherProcessIsDrawn) {
    // Recording is all about other processes' windows: their cursor is the
    // one in the pictures, and Wine will not lend its bits to us.
    const QRect rect(250, 180, 320, 220);
    test::Helper target = test::Helper::window(rect);
    ASSERT_TRUE(target.hwnd());
    SetForegroundWindow(target.hwnd());
    SetCursorPos(rect.center().x(), rect.center().y());
    DWORD owner = 0;
    CURSORINFO info{};
    info.cbSize = sizeof info;
    test::pumpUntil(
        [&] {
            GetWindowThreadProcessId(GetForegroundWindow(), &owner);
            return owner == target.processId() && GetCursorInfo(&info) && info.hCursor;
        },
        3000);
    ASSERT_EQ(owner, target.processId()) << "the other process's window is not in front";
    const CursorImage c = Win32Cursor().currentCursor();
    ASSERT_FALSE(c.image.isNull());
    EXPECT_TRUE(QRect(QPoint(0, 0), c.image.size()).contains(c.hotSpot));
    EXPECT_EQ(c.serial, static_cast<quint64>(reinterpret_cast<quintptr>(info.hCursor)));
}

// Masks as GetDIBits gives them at 32 bits: white for a set bit.
QImage maskOf(const QList<QList<int>>& rows) {
    QImage m(rows.first().size(), rows.size(), QImage::Format_ARGB32);
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x)
            m.setPixel(x, y, rows[y][x] ? 0xFFFFFFFF : 0xFF000000);
    return m;
}

TEST(CursorTest, AMonochromeCursorIsBlackWhiteAndClear) {
    // AND mask above XOR mask: 00 black, 01 white, 10 screen, 11 inverted.
    const QImage mask = maskOf({{0, 0, 1, 1}, {0, 1, 0, 1}});
    const QImage out = composeCursor(QImage(), mask);
    ASSERT_EQ(out.size(), QSize(4, 1));
    EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(out.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(out.pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(qAlpha(out.pixel(2, 0)), 0);
    EXPECT_EQ(out.pixel(3, 0), 0xFF000000u);
}

TEST(CursorTest, AlphaIsPremultipliedAndAnOldColourCursorUsesItsMask) {
    QImage colour(2, 1, QImage::Format_ARGB32);
    colour.setPixel(0, 0, qRgba(200, 100, 50, 128));
    colour.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QImage out = composeCursor(colour, maskOf({{0, 0}}));
    const QRgb half = reinterpret_cast<const QRgb*>(out.constScanLine(0))[0];
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 100, 1);
    EXPECT_NEAR(qGreen(half), 50, 1);

    QImage old(3, 1, QImage::Format_ARGB32);
    old.fill(0x00000000);
    old.setPixel(0, 0, 0x00FF0000); // red, no alpha anywhere
    const QImage out2 = composeCursor(old, maskOf({{0, 1, 0}}));
    EXPECT_EQ(out2.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(out2.pixel(1, 0)), 0) << "the AND mask lets the screen through";
    EXPECT_EQ(out2.pixel(2, 0), 0xFF000000u) << "black where the mask is clear";
}

} // namespace
} // namespace klavoro::win32
