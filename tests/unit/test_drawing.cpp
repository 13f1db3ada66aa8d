#include "capture/cursorfile.h"
#include "capture/drawing.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

TEST(Drawing, MarkerOutlinesTheElementOnePixelOutside) {
    QImage img(100, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    const ScreenRect element{20, 10, 60, 40}; // 40 x 30
    drawMarker(img, element, 255, 1, 0);
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(img.pixel(19, 9), red);                  // top-left corner, one pixel outside
    EXPECT_EQ(img.pixel(60, 40), red);                 // bottom-right corner
    EXPECT_EQ(img.pixel(40, 9), red);                  // top edge
    EXPECT_EQ(img.pixel(19, 25), red);                 // left edge
    EXPECT_EQ(img.pixel(40, 25), qRgb(255, 255, 255)); // inside stays
    EXPECT_EQ(img.pixel(61, 41), qRgb(255, 255, 255)); // beyond stays
    int marked = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == red) {
                ++marked;
                EXPECT_TRUE(x == 19 || x == 60 || y == 9 || y == 40) << x << "," << y;
            }
    EXPECT_EQ(marked, 2 * 42 + 2 * 30);

    // Rounded corners leave the very corner pixel; the colour is blue-green-red.
    QImage round(100, 80, QImage::Format_RGB32);
    round.fill(Qt::white);
    drawMarker(round, element, 0xFF0000, 2, 10);
    EXPECT_EQ(round.pixel(19, 9), qRgb(255, 255, 255));
    EXPECT_EQ(round.pixel(40, 9), qRgb(0, 0, 255));
}

TEST(Drawing, PointerSitsOnItsHotSpot) {
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QImage cursor(8, 8, QImage::Format_ARGB32_Premultiplied);
    cursor.fill(Qt::transparent);
    cursor.setPixel(3, 2, qRgb(0, 0, 0));
    drawPointer(img, cursor, QPoint(3, 2), QPoint(20, 30));
    EXPECT_EQ(img.pixel(20, 30), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(21, 30), qRgb(255, 255, 255)); // transparent parts leave the picture
}

TEST(CursorFile, ShippedArrowAndHotSpots) {
    const CursorFile arrow =
        loadCursorFile(QStringLiteral(KLAVORO_SOURCE_DIR "/cursors/arrow_m.cur"));
    ASSERT_FALSE(arrow.image.isNull());
    EXPECT_EQ(arrow.image.size(), QSize(32, 32));
    EXPECT_EQ(arrow.hotSpot, QPoint(0, 0));
    EXPECT_EQ(qAlpha(arrow.image.pixel(0, 0)), 255); // the tip is drawn
    EXPECT_EQ(qAlpha(arrow.image.pixel(31, 31)), 0);

    ScratchHome home;
    QByteArray bytes = readBytes(QStringLiteral(KLAVORO_SOURCE_DIR "/cursors/arrow_m.cur"));
    bytes[10] = 5;
    bytes[12] = 7;
    writeBytes(home.path("hot.cur"), bytes);
    EXPECT_EQ(loadCursorFile(home.path("hot.cur")).hotSpot, QPoint(5, 7));
    EXPECT_TRUE(loadCursorFile(home.path("missing.cur")).image.isNull());
    writeBytes(home.path("junk.cur"), "junk");
    EXPECT_TRUE(loadCursorFile(home.path("junk.cur")).image.isNull());
    EXPECT_EQ(cursorFilePath("arrow_m.cur"), home.path("cursors/arrow_m.cur"));
}
