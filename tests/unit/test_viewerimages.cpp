#include "capture/encoders.h"
#include "capture/imagecomplete.h"
#include "capture/imagedecoder.h"
#include "capture/imageload.h"
#include "export/thumbnailloader.h"
#include "store/capturefolder.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

using namespace klavoro;
using namespace klavoro::test;

namespace {
bool waitUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void makeImage(const QString& path, QSize size, QColor colour) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    ASSERT_TRUE(writeByExtension(img, path, 90));
}

void cutFile(const QString& from, const QString& to, double share) {
    const QByteArray b = readBytes(from);
    writeBytes(to, b.left(qsizetype(b.size() * share)));
}

struct Reports {
    QList<quint64> generations;
    QList<DecodedImage> images;
    explicit Reports(ImageDecoder& d) {
        QObject::connect(&d, &ImageDecoder::decoded, [this](quint64 g, const DecodedImage& i) {
            generations << g;
            images << i;
        });
    }
    bool finalArrived() const { return !images.isEmpty() && images.last().final; }
};
} // namespace

TEST(ImageComplete, CutOffFilesAreNotPictures) {
    ScratchHome home;
    for (const char* ext : {"jpg", "bmp", "gif"}) {
        const QString full = home.path(QStringLiteral("full.") + ext);
        const QString cut = home.path(QStringLiteral("cut.") + ext);
        makeImage(full, {320, 200}, Qt::darkGreen);
        cutFile(full, cut, 0.6);
        EXPECT_TRUE(isCompleteImageFile(full)) << ext;
        EXPECT_FALSE(isCompleteImageFile(cut)) << ext;
        EXPECT_TRUE(loadImageFile(cut).isNull()) << ext;
        EXPECT_FALSE(loadImageFile(full).isNull()) << ext;
    }
    // Bytes after the end of a JPEG do not make it incomplete.
    QByteArray jpeg = readBytes(home.path("full.jpg"));
    EXPECT_TRUE(isCompleteImageData(jpeg + QByteArray(300, '\0')));
    // Only the header: no scan at all.
    EXPECT_FALSE(isCompleteImageData(jpeg.left(200)));
    EXPECT_TRUE(isCompleteImageData("not an image")); // left to the decoders
}

TEST(ImageDecoder, QuickPictureFirstThenTheFullOne) {
    ScratchHome home;
    const QString path = home.path("big.jpg");
    makeImage(path, {1600, 1000}, QColor(200, 30, 30));
    ImageDecoder decoder;
    Reports reports(decoder);
    const quint64 g = decoder.requestFile(path, 400);
    ASSERT_TRUE(waitUntil([&] { return reports.finalArrived(); }));
    ASSERT_EQ(reports.images.size(), 2);
    const DecodedImage& quick = reports.images.first();
    EXPECT_FALSE(quick.final);
    EXPECT_TRUE(quick.full.isNull());
    EXPECT_EQ(quick.display.size(), QSize(400, 250));
    EXPECT_EQ(quick.actual, QSize(1600, 1000));
    const DecodedImage& full = reports.images.last();
    EXPECT_EQ(full.full.size(), QSize(1600, 1000));
    EXPECT_EQ(full.display.size(), QSize(400, 250));
    EXPECT_NEAR(QColor(full.display.pixel(200, 120)).red(), 200, 6);
    EXPECT_EQ(reports.generations, (QList<quint64>{g, g}));

    // A PNG larger than shown, and a picture shown larger than it is: one report.
    const QString png = home.path("small.png");
    makeImage(png, {200, 100}, Qt::blue);
    reports.images.clear();
    decoder.requestFile(png, 500);
    ASSERT_TRUE(waitUntil([&] { return reports.finalArrived(); }));
    EXPECT_EQ(reports.images.size(), 1);
    EXPECT_EQ(reports.images.first().display.size(), QSize(500, 250));
}

TEST(ImageDecoder, OnlyTheLatestRequestIsReported) {
    ScratchHome home;
    QDir().mkpath(home.path("data"));
    for (int i = 0; i < 4; ++i)
        makeImage(home.path(QStringLiteral("data/202612060905030%1.jpg").arg(i)), {1200, 800},
                  QColor(40 * i, 100, 100));
    ImageDecoder decoder;
    Reports reports(decoder);
    quint64 last = 0;
    for (int i = 0; i < 4; ++i)
        last = decoder.requestStep(home.path("data/"), QStringLiteral("202612060905030%1").arg(i),
                                   300);
    ASSERT_TRUE(waitUntil([&] { return reports.finalArrived(); }));
    QThread::msleep(50); // anything stale would arrive now
    QCoreApplication::processEvents();
    for (quint64 g : reports.generations)
        EXPECT_EQ(g, last);
    EXPECT_TRUE(reports.images.last().path.endsWith(QStringLiteral("2026120609050303.jpg")));

    // A neighbour decoded ahead and then asked for: reported once, whole.
    reports.images.clear();
    decoder.prefetchSteps(home.path("data/"), {QStringLiteral("2026120609050301")});
    QThread::msleep(5);
    decoder.requestStep(home.path("data/"), QStringLiteral("2026120609050301"), 1200);
    ASSERT_TRUE(waitUntil([&] { return reports.finalArrived(); }));
    EXPECT_EQ(reports.images.size(), 1);
    EXPECT_EQ(reports.images.last().full.size(), QSize(1200, 800));

    // A cancelled request is never reported.
    reports.images.clear();
    decoder.requestStep(home.path("data/"), QStringLiteral("2026120609050300"), 300);
    decoder.cancel();
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports.images.isEmpty());
}

TEST(ImageDecoder, MissingBrokenAndCutFilesGiveNoPicture) {
    ScratchHome home;
    const QString good = home.path("good.jpg");
    makeImage(good, {640, 480}, Qt::green);
    cutFile(good, home.path("cut.jpg"), 0.5);
    writeBytes(home.path("text.jpg"), "this is no picture at all");
    // A frame header that claims a picture far too large to decode.
    QByteArray jpeg = readBytes(good);
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    ASSERT_GT(frame, 0);
    jpeg.replace(frame + 5, 4, QByteArray::fromHex("ea60ea60")); // 60000 x 60000
    writeBytes(home.path("huge.jpg"), jpeg);

    ImageDecoder decoder;
    Reports reports(decoder);
    for (const char* name : {"missing.jpg", "cut.jpg", "text.jpg", "huge.jpg"}) {
        reports.images.clear();
        decoder.requestFile(home.path(name), 300);
        ASSERT_TRUE(waitUntil([&] { return reports.finalArrived(); })) << name;
        EXPECT_EQ(reports.images.size(), 1) << name;
        EXPECT_TRUE(reports.images.last().actual.isEmpty()) << name;
        EXPECT_TRUE(reports.images.last().display.isNull()) << name;
    }
}

TEST(ImageDecoder, AKeptPictureIsDecodedAgainWhenItsFileChanged) {
    ScratchHome home;
    const QString path = home.path("a.png");
    makeImage(path, {100, 50}, Qt::red);
    ImageDecoder decoder;
    EXPECT_EQ(QColor(decoder.fullImage(path).pixel(5, 5)), QColor(Qt::red));
    makeImage(path, {120, 50}, Qt::blue);
    const QImage again = decoder.fullImage(path);
    EXPECT_EQ(again.size(), QSize(120, 50));
    EXPECT_EQ(QColor(again.pixel(5, 5)), QColor(Qt::blue));
}

TEST(ThumbnailLoader, MadeOnRequestAndReportedReady) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    makeImage(folder + "2026120609050301.jpg", {1920, 1080}, QColor(0, 120, 200));
    ThumbnailLoader loader;
    loader.setFolder(folder);
    loader.setDisplaySize({84, 63});
    QStringList ready;
    QObject::connect(&loader, &ThumbnailLoader::ready, [&](const QString& n) { ready << n; });
    EXPECT_EQ(loader.state("2026120609050301"), ThumbnailLoader::State::Unknown);
    loader.request(QStringLiteral("2026120609050301    ")); // padded as in the list
    loader.request(QStringLiteral("2026120609050301"));     // asked once only
    EXPECT_EQ(loader.requestsMade(), 1);
    EXPECT_EQ(loader.state("2026120609050301"), ThumbnailLoader::State::Pending);
    ASSERT_TRUE(waitUntil([&] { return !ready.isEmpty(); }));
    EXPECT_EQ(ready, QStringList{"2026120609050301"});
    EXPECT_EQ(loader.state("2026120609050301"), ThumbnailLoader::State::Ready);
    const QImage img = loader.image("2026120609050301");
    EXPECT_EQ(img.size(), QSize(84, 47));
    EXPECT_NEAR(QColor(img.pixel(40, 20)).blue(), 200, 8);
    EXPECT_TRUE(QFileInfo::exists(folder + "Thumb/Thumb_2026120609050301.jpg"));
}

TEST(ThumbnailLoader, BrokenImagesAndForgottenFolders) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    makeImage(folder + "2026120609050301.jpg", {640, 480}, Qt::red);
    cutFile(folder + "2026120609050301.jpg", folder + "2026120609050302.jpg", 0.5);
    writeBytes(folder + "2026120609050303.jpg", "<html>not a picture</html>");
    ThumbnailLoader loader;
    loader.setFolder(folder);
    for (const char* n : {"2026120609050302", "2026120609050303", "2026120609050309", "../x"})
        loader.request(n);
    ASSERT_TRUE(waitUntil([&] { return loader.isIdle(); }));
    for (const char* n : {"2026120609050302", "2026120609050303", "2026120609050309", "../x"})
        EXPECT_EQ(loader.state(n), ThumbnailLoader::State::Broken) << n;
    EXPECT_FALSE(QFileInfo::exists(folder + "Thumb/Thumb_2026120609050302.jpg"));

    // Results for a folder that is no longer shown are dropped.
    int readyCount = 0;
    QObject::connect(&loader, &ThumbnailLoader::ready, [&] { ++readyCount; });
    loader.request("2026120609050301");
    loader.setFolder(home.path("other/"));
    QThread::msleep(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(readyCount, 0);
    EXPECT_EQ(loader.state("2026120609050301"), ThumbnailLoader::State::Unknown);
}

TEST(ThumbnailLoader, RefreshMakesTheThumbnailAgain) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    const QString image = folder + "2026120609050301.png";
    makeImage(image, {400, 300}, Qt::red);
    ThumbnailLoader loader;
    loader.setFolder(folder);
    loader.request("2026120609050301");
    ASSERT_TRUE(waitUntil(
        [&] { return loader.state("2026120609050301") == ThumbnailLoader::State::Ready; }));
    makeImage(image, {400, 300}, Qt::blue);
    loader.request("2026120609050301"); // known: not made again
    EXPECT_EQ(QColor(loader.image("2026120609050301").pixel(10, 10)).red() > 200, true);
    loader.refresh("2026120609050301");
    ASSERT_TRUE(waitUntil(
        [&] { return loader.state("2026120609050301") == ThumbnailLoader::State::Ready; }));
    EXPECT_GT(QColor(loader.image("2026120609050301").pixel(10, 10)).blue(), 200);
}
