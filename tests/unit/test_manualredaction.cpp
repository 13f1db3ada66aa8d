#include "capture/encoders.h"
#include "edit/manualredaction.h"
#include "export/thumbnails.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// A picture where every pixel differs from its neighbours, so that a box
// that left anything of it would show.
QImage noisy(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return image;
}

// The largest difference of any channel from `colour` inside `r`.
int spread(const QImage& image, const QRect& r, QColor colour) {
    int worst = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            worst = std::max({worst, std::abs(c.red() - colour.red()),
                              std::abs(c.green() - colour.green()),
                              std::abs(c.blue() - colour.blue())});
        }
    return worst;
}

class ManualRedaction : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.path() + u'/';
        QDir(dir.path()).mkpath(QStringLiteral("NO_RECT"));
        QDir(dir.path()).mkpath(QStringLiteral("Thumb"));
        ASSERT_TRUE(writeByExtension(noisy({400, 300}), folder + "s1.png", 85));
        ASSERT_TRUE(writeByExtension(noisy({400, 300}), folder + "NO_RECT/s1.png", 85));
        ASSERT_TRUE(writeByExtension(noisy({400, 300}), folder + "s2.jpg", 90));
        ASSERT_EQ(makeThumbnail(folder, "s1", false, ThumbnailBox{}), 1);
        ASSERT_EQ(makeThumbnail(folder, "s2", false, ThumbnailBox{}), 1);
    }
    QTemporaryDir dir;
    QString folder;
    const QColor black{0, 0, 0};
};

} // namespace

TEST(ManualRedactionBox, ViewBoxToPictureRoundsOutwardAndClips) {
    // Shown at half size: a 10 x 10 box at (5, 5) covers 20 x 20 from (10, 10).
    EXPECT_EQ(pictureBoxOfView(QRect(5, 5, 10, 10), {200, 150}, {400, 300}), QRect(10, 10, 20, 20));
    // A box beyond the picture.
    EXPECT_EQ(pictureBoxOfView(QRect(390, 290, 50, 50), {400, 300}, {400, 300}),
              QRect(390, 290, 10, 10));
    // Shown at 3/4: fractional edges take the whole pixel.
    EXPECT_EQ(pictureBoxOfView(QRect(1, 1, 1, 1), {300, 225}, {400, 300}), QRect(1, 1, 2, 2));
    EXPECT_TRUE(pictureBoxOfView(QRect(1, 1, 5, 5), {}, {400, 300}).isEmpty());
}

TEST_F(ManualRedaction, BurntIntoPictureCopyAndThumbnail) {
    const QRect box(40, 30, 120, 80);
    const BurnResult r = burnRedactionBox(folder, "s1", box, black, 85, ThumbnailBox{});
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.written.size(), 3);
    // Lossless files: exactly the colour, and nothing outside changed.
    for (const char* name : {"s1.png", "NO_RECT/s1.png"}) {
        const QImage image(folder + name);
        EXPECT_EQ(spread(image, box, black), 0) << name;
        EXPECT_EQ(image.pixel(box.left() - 1, box.top()), noisy({400, 300}).pixel(39, 30)) << name;
    }
    // The thumbnail is made anew (JPEG): uniform inside, bar its block edges.
    const QImage thumb(folder + "Thumb/Thumb_s1.jpg");
    ASSERT_FALSE(thumb.isNull());
    const double k = double(thumb.width()) / 400;
    const QRect inThumb(int(box.left() * k) + 4, int(box.top() * k) + 4, int(box.width() * k) - 8,
                        int(box.height() * k) - 8);
    EXPECT_LE(spread(thumb, inThumb, black), 6);
}

TEST_F(ManualRedaction, JpegBoxGrowsToWholeBlocksAndIsUniform) {
    const QRect box(70, 61, 50, 37); // off the block grid
    const BurnResult r = burnRedactionBox(folder, "s2", box, QColor(255, 0, 0), 90, {});
    ASSERT_TRUE(r.error.isEmpty());
    const QImage image(folder + "s2.jpg");
    // Grown to (64, 48)..(128, 112) and stored as one colour; the decoder's
    // smoothing of colour between blocks tints only the outermost pixels.
    EXPECT_LE(spread(image, QRect(65, 49, 62, 62), QColor(255, 0, 0)), 6);
    EXPECT_GT(spread(image, QRect(64, 46, 64, 1), QColor(255, 0, 0)), 40); // not beyond
}

TEST_F(ManualRedaction, NoRectFolderBurnsTheMarkedPictureToo) {
    const QRect box(0, 0, 50, 50);
    const BurnResult r = burnRedactionBox(folder + "NO_RECT/", "s1", box, black, 85, {});
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(spread(QImage(folder + "NO_RECT/s1.png"), box, black), 0);
    EXPECT_EQ(spread(QImage(folder + "s1.png"), box, black), 0);
}

TEST_F(ManualRedaction, NothingWrittenWhenAPictureCannotBeRead) {
    QFile::resize(folder + "NO_RECT/s1.png", 40); // cut off
    const QByteArray before = [&] {
        QFile f(folder + "s1.png");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const BurnResult r = burnRedactionBox(folder, "s1", QRect(0, 0, 10, 10), black, 85, {});
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_TRUE(r.written.isEmpty());
    QFile f(folder + "s1.png");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(
        burnRedactionBox(folder, "none", QRect(0, 0, 5, 5), black, 85, {}).error.isEmpty());
    EXPECT_FALSE(burnRedactionBox(folder, "s1", QRect(), black, 85, {}).error.isEmpty());
}
