#include "capture/encoders.h"
#include "capture/imageload.h"
#include "capture/imageprobe.h"
#include "testutil.h"

#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// Decodes a file with netpbm, a decoder independent of ours, into an image.
QImage decodeWithNetpbm(const QString& tool, const QString& path) {
    QProcess p;
    p.start(tool, {path});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return {};
    const QByteArray ppm = p.readAllStandardOutput();
    QImage img;
    img.loadFromData(ppm, "PPM");
    return img;
}

// A dialog-like picture: flat colours, a gradient bar (many colours) and text.
QImage screenshotLike(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(240, 240, 240));
    QPainter p(&img);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, QColor(20, 80, 200));
    g.setColorAt(1, QColor(250, 180, 40));
    p.fillRect(0, 0, w, 30, g);
    p.setPen(Qt::black);
    p.drawText(QRect(10, 40, w - 20, 40), QStringLiteral("OK キャンセル 保存先フォルダの変更"));
    p.fillRect(20, 100, 80, 30, QColor(0, 120, 215));
    return img;
}

double meanError(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

TEST(Encoders, EachFormatIsReadBackByAnIndependentDecoder) {
#ifdef _WIN32
    GTEST_SKIP() << "the independent decoders are netpbm's tools, which Windows lacks";
#endif
    ScratchHome home;
    const QImage img = screenshotLike(300, 400);
    struct Case {
        const char* name;
        const char* tool;
        double maxError;
    } cases[] = {{"a.bmp", "bmptopnm", 0},
                 {"a.png", "pngtopnm", 0},
                 {"a.jpg", "jpegtopnm", 6},
                 {"a.gif", "giftopnm", 3}};
    for (const Case& c : cases) {
        QString error;
        ASSERT_TRUE(writeByExtension(img, home.path(c.name), 70, &error))
            << c.name << error.toStdString();
        const QImage back = decodeWithNetpbm(c.tool, home.path(c.name));
        ASSERT_EQ(back.size(), QSize(300, 400)) << c.name;
        EXPECT_LE(meanError(img, back), c.maxError) << c.name;
    }
    EXPECT_EQ(probeImageSize(home.path("a.jpg")).type, ImageSize::Jpeg);
}

TEST(Encoders, GifKeepsFewColoursExactlyAndJpegQualityMatters) {
#ifdef _WIN32
    GTEST_SKIP() << "the independent decoders are netpbm's tools, which Windows lacks";
#endif
    ScratchHome home;
    QImage flat(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            flat.setPixel(x, y, qRgb((x % 16) * 16, y * 16, (x % 16) ^ y)); // exactly 256 colours
    const QByteArray gif = encodeGif(flat);
    ASSERT_FALSE(gif.isEmpty());
    writeBytes(home.path("f.gif"), gif);
    EXPECT_EQ(meanError(decodeWithNetpbm("giftopnm", home.path("f.gif")), flat), 0);
    // One colour more and the palette has to be chosen: close, not exact.
    flat.setPixel(0, 0, qRgb(1, 2, 3));
    writeBytes(home.path("g.gif"), encodeGif(flat));
    const double err = meanError(decodeWithNetpbm("giftopnm", home.path("g.gif")), flat);
    EXPECT_GT(err, 0);
    EXPECT_LT(err, 4);

    const QImage img = screenshotLike(300, 200);
    ASSERT_TRUE(writeJpeg(img, home.path("lo.jpg"), 5));
    ASSERT_TRUE(writeJpeg(img, home.path("hi.jpg"), 95));
    EXPECT_LT(QFileInfo(home.path("lo.jpg")).size(), QFileInfo(home.path("hi.jpg")).size());
}

TEST(Encoders, UnknownExtensionsAndBadTargetsWriteNothing) {
    ScratchHome home;
    const QImage img = screenshotLike(40, 40);
    EXPECT_FALSE(writeByExtension(img, home.path("x.jpeg"), 70));
    EXPECT_FALSE(QFile::exists(home.path("x.jpeg")));
    EXPECT_FALSE(writeByExtension(img, home.path("no/folder/x.png"), 70));
    EXPECT_FALSE(writeByExtension(QImage(), home.path("x.png"), 70));
    EXPECT_TRUE(writeByExtension(img, home.path("UP.PNG"), 70));
    EXPECT_EQ(formatIndexForExtension("JPG"), 1);
    EXPECT_EQ(formatIndexForExtension("gif"), 3);
    EXPECT_EQ(formatIndexForExtension("tiff"), 0);
    EXPECT_TRUE(imageLibraryVersions().contains("giflib"));
}

TEST(ImageProbe, ReadsEachHeader) {
    QByteArray bmp(54, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[18] = char(0x80), bmp[19] = 0x07, bmp[22] = 0x38,
    bmp[23] = 0x04, bmp[28] = 24;
    ImageSize s = probeImageData(bmp);
    EXPECT_EQ(s.type, ImageSize::Bmp);
    EXPECT_EQ(s.width, 1920);
    EXPECT_EQ(s.height, 1080);
    EXPECT_EQ(s.depth, 24);

    const QByteArray gif("GIF89a\x2c\x01\x90\x01\xF7\x00\x00", 13);
    s = probeImageData(gif);
    EXPECT_EQ(s.type, ImageSize::Gif);
    EXPECT_EQ(s.width, 300);
    EXPECT_EQ(s.height, 400);
    EXPECT_EQ(s.depth, 8);

    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x02\x58\0\0\x03\x20\x08\x02\0\0\0", 29);
    s = probeImageData(png);
    EXPECT_EQ(s.type, ImageSize::Png);
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 800);
    EXPECT_EQ(s.depth, 24);
    png[25] = 3;
    EXPECT_EQ(probeImageData(png).depth, 8);
    png[25] = 6;
    EXPECT_EQ(probeImageData(png).depth, 0);

    // JPEG: SOI, an APP0 segment to skip, then SOF2 (progressive).
    QByteArray jpg("\xFF\xD8\xFF\xE0\x00\x06JFIF\xFF\xC2\x00\x11\x08\x01\x90\x01\x2C\x03", 21);
    s = probeImageData(jpg);
    EXPECT_EQ(s.type, ImageSize::Jpeg);
    EXPECT_EQ(s.width, 300);
    EXPECT_EQ(s.height, 400);
    EXPECT_EQ(s.depth, 24);
}

TEST(ImageProbe, BadInputGivesTypeZero) {
    EXPECT_EQ(probeImageData(QByteArray()).type, 0);
    EXPECT_EQ(probeImageData(QByteArray("BM")).type, 0); // truncated
    EXPECT_EQ(probeImageData(QByteArray("\xFF\xD8\xFF\xE0\x00\x10", 6)).type,
              0); // segment runs off the end
    EXPECT_EQ(probeImageData(QByteArray("\xFF\xD8\x00\x00\x00\x00", 6)).type, 0); // no marker byte
    EXPECT_EQ(probeImageData(QByteArray("\xFF\xD8\xFF\xC0\x00", 5)).type, 0);     // frame cut short
    EXPECT_EQ(probeImageData(QByteArray("hello world")).type, 0);
    ScratchHome home;
    writeBytes(home.path("zero.png"), QByteArray());
    EXPECT_EQ(probeImageSize(home.path("zero.png")).type, 0);
    EXPECT_EQ(probeImageSize(home.path("missing.png")).type, 0);
    // Hint 5 goes by the name, even against the contents.
    writeBytes(home.path("named.gif"), QByteArray("GIF89a\x10\x00\x20\x00\x00", 11));
    EXPECT_EQ(probeImageSize(home.path("named.gif"), 5).width, 16);
    writeBytes(home.path("fake.png"), QByteArray("GIF89a\x10\x00\x20\x00\x00", 11));
    EXPECT_EQ(probeImageSize(home.path("fake.png"), 5).type, 0);
    EXPECT_EQ(probeImageSize(home.path("fake.png"), 0).type, ImageSize::Gif);
}

TEST(ImageLoad, LyingAndHugeHeadersGiveAnEmptyPictureAndTheMessage) {
    ScratchHome home;
    FakeDialogs dialogs;
    // 30000 x 30000 declared in a valid but otherwise empty PNG.
    QByteArray ihdr("IHDR\0\0\x75\x30\0\0\x75\x30\x08\x02\0\0\0", 17);
    quint32 crc = 0xFFFFFFFF;
    for (char c : ihdr) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc ^= 0xFFFFFFFF;
    const char crcBytes[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    writeBytes(home.path("huge.png"),
               QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12) + ihdr + QByteArray(crcBytes, 4));
    EXPECT_TRUE(loadImageFile(home.path("huge.png"), &dialogs).isNull());
    ASSERT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("PNGファイル読込失敗"));
    EXPECT_TRUE(dialogs.messages[0].startsWith(home.path("huge.png") +
                                               QStringLiteral("の読み込みに失敗しました！")));

    // A real image cut in half, a zero-byte file, and a JPEG whose header lies.
    ASSERT_TRUE(writePng(screenshotLike(200, 100), home.path("whole.png")));
    writeBytes(home.path("half.png"), readBytes(home.path("whole.png")).left(300));
    const QImage half = loadImageFile(home.path("half.png"), &dialogs);
    EXPECT_TRUE(half.isNull() || half.size() == QSize(200, 100));
    writeBytes(home.path("empty.jpg"), QByteArray());
    EXPECT_TRUE(loadImageFile(home.path("empty.jpg"), &dialogs).isNull());
    writeBytes(home.path("liar.jpg"),
               QByteArray("\xFF\xD8\xFF\xC0\x00\x11\x08\x75\x30\x75\x30\x03", 12));
    EXPECT_TRUE(loadImageFile(home.path("liar.jpg"), &dialogs).isNull());
    EXPECT_EQ(loadImageFile(home.path("whole.png"), &dialogs).size(), QSize(200, 100));
}
