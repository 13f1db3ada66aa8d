#include "capture/encoders.h"
#include "capture/imageprobe.h"
#include "export/thumbnails.h"
#include "store/oplist.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
class RecordingProgress : public ThumbnailProgress {
public:
    void showProgress(const QString& t) override { progress << t; }
    void setStatus(const QString& t) override { statuses << t; }
    QStringList progress, statuses;
};

void makeImage(const QString& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(writeByExtension(img, path, 80));
}
} // namespace

TEST(Thumbnails, FitIntoTheBox) {
    const ThumbnailBox box;
    EXPECT_EQ(fitThumbnail(box, 1920, 1080), QSize(240, 135));
    EXPECT_EQ(fitThumbnail(box, 600, 800), QSize(135, 180));
    EXPECT_EQ(fitThumbnail(box, 240, 180), QSize(240, 180));
    EXPECT_EQ(fitThumbnail(box, 0, 100), QSize());
    // 240 / 1000 * 125 = 30 exactly, 240 / 64 * 3 = 11.25 -> 11, halves go to even.
    EXPECT_EQ(fitThumbnail(box, 1000, 125), QSize(240, 30));
    EXPECT_EQ(fitThumbnail({240, 180, 1.0}, 96, 5).height(), 12); // 12.5 -> 12
    EXPECT_EQ(fitThumbnail({240, 180, 1.0}, 160, 10).height(), 15);
}

TEST(Thumbnails, MadeOnceFromAnyFormatWithTheDisplayScaling) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    makeImage(folder + "2026120609050304.png", 1920, 1080);
    makeImage(folder + "2026120609050305.jpg", 600, 800);
    const ThumbnailBox box;
    EXPECT_EQ(makeThumbnail(folder, "2026120609050304    ", false, box), 1);
    const ImageSize t1 = probeImageSize(folder + "Thumb/Thumb_2026120609050304.jpg");
    EXPECT_EQ(t1.type, ImageSize::Jpeg);
    EXPECT_EQ(QSize(t1.width, t1.height), QSize(240, 135));
    EXPECT_EQ(makeThumbnail(folder, "2026120609050305", false, {240, 180, 1.25}), 1);
    const ImageSize t2 = probeImageSize(folder + "Thumb/Thumb_2026120609050305.jpg");
    EXPECT_EQ(QSize(t2.width, t2.height), QSize(169, 225)); // 135 x 180 times 1.25, 168.75 -> 169

    // An existing thumbnail is kept unless asked to overwrite.
    const QDateTime before = QFileInfo(folder + "Thumb/Thumb_2026120609050304.jpg").lastModified();
    writeBytes(folder + "Thumb/Thumb_2026120609050304.jpg", "stale");
    EXPECT_EQ(makeThumbnail(folder, "2026120609050304", false, box), 1);
    EXPECT_EQ(readBytes(folder + "Thumb/Thumb_2026120609050304.jpg"), QByteArray("stale"));
    EXPECT_EQ(makeThumbnail(folder, "2026120609050304", true, box), 1);
    EXPECT_EQ(probeImageSize(folder + "Thumb/Thumb_2026120609050304.jpg").width, 240);
    (void)before;

    // A name with its extension (lists built from image files) finds its image.
    EXPECT_EQ(makeThumbnail(folder, "2026120609050305.jpg", false, box), 1);
    EXPECT_TRUE(QFile::exists(folder + "Thumb/Thumb_2026120609050305.jpg"));
}

TEST(Thumbnails, BrokenOrMissingImagesMakeNone) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    writeBytes(folder + "zero.jpg", QByteArray());
    writeBytes(folder + "liar.jpg",
               QByteArray("\xFF\xD8\xFF\xC0\x00\x11\x08\x75\x30\x75\x30\x03", 12));
    writeBytes(folder + "text.png", "not an image");
    for (const char* n : {"zero", "liar", "text", "missing", "../escape"})
        EXPECT_EQ(makeThumbnail(folder, n, true, ThumbnailBox()), 0) << n;
    EXPECT_FALSE(QFile::exists(folder + "Thumb/Thumb_liar.jpg"));
}

TEST(Thumbnails, BulkRunMakesTheMissingOnesAndReports) {
    ScratchHome home;
    FakeDialogs dialogs;
    RecordingProgress progress;
    StepList steps;
    const QString folder = home.path("data/");
    QDir().mkpath(folder);
    EXPECT_EQ(makeMissingThumbnails(steps, folder, ThumbnailBox(), dialogs, progress), -1);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("イメージがありません！")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("処理不可")});
    makeImage(folder + "a.gif", 320, 240);
    makeImage(folder + "b.bmp", 100, 300);
    steps.append(buildStepLine(1, "a", "m", "gif", ""));
    steps.append(buildStepLine(2, "gone", "m", "jpg", ""));
    steps.append(buildStepLine(3, "b", "m", "bmp", ""));
    EXPECT_EQ(makeMissingThumbnails(steps, folder, ThumbnailBox(), dialogs, progress), 0);
    EXPECT_TRUE(QFile::exists(folder + "Thumb/Thumb_a.jpg"));
    EXPECT_TRUE(QFile::exists(folder + "Thumb/Thumb_b.jpg"));
    // Thumbnails are made in parallel: the count only rises, up to all of them.
    ASSERT_GE(progress.statuses.size(), 2);
    EXPECT_EQ(progress.statuses[progress.statuses.size() - 2],
              QStringLiteral("サムネイル作成中・・  3/3"));
    int previous = 0;
    for (const QString& s : progress.statuses.mid(0, progress.statuses.size() - 1)) {
        ASSERT_TRUE(s.startsWith(QStringLiteral("サムネイル作成中・・"))) << s.toStdString();
        const int n = s.mid(10, 3).trimmed().toInt();
        EXPECT_GT(n, previous);
        previous = n;
    }
    EXPECT_EQ(progress.statuses.last(), QStringLiteral("サムネイル生成完了"));
    EXPECT_EQ(progress.progress, (QStringList{QStringLiteral("サムネイル作成中\r\n"), QString()}));
}

TEST(Thumbnails, CheckMarksAreSavedWithTheList) {
    ScratchHome home;
    FakeDialogs dialogs;
    OpListHost host;
    StepList steps;
    OperationList ops(steps, host, dialogs);
    ops.addStep(1, "a", "m", "jpg", "", false, false);
    steps.append("\tshort"); // a line from elsewhere with only two fields
    EXPECT_TRUE(toggleCheckMark(steps, ops, 2));
    EXPECT_EQ(steps.field(2, FieldCheck), kCheckMark);
    EXPECT_EQ(steps.field(2, FieldImageName), "short");
    EXPECT_TRUE(readBytes(home.path("data/OpList.txt")).contains("\tshort\t\t\t\t\t\x81\x59"));
    EXPECT_FALSE(toggleCheckMark(steps, ops, 2));
    EXPECT_EQ(steps.field(2, FieldCheck), "");
    setAllCheckMarks(steps, ops, true);
    EXPECT_EQ(steps.field(1, FieldCheck), kCheckMark);
    EXPECT_EQ(steps.field(1, FieldMessage), "m");
    EXPECT_EQ(readBytes(home.path("data/OpList.txt")).count("\x81\x59"), 2);
    setAllCheckMarks(steps, ops, false);
    EXPECT_EQ(readBytes(home.path("data/OpList.txt")).count("\x81\x59"), 0);
}

TEST(Thumbnails, ZoomLimits) {
    ZoomResult r = zoomThumbnails(1.69, true);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.message, QStringLiteral("拡大最大値 2"));
    EXPECT_DOUBLE_EQ(r.factor, 1.69);
    r = zoomThumbnails(0.35, true);
    EXPECT_TRUE(r.changed);
    EXPECT_NEAR(r.factor, 0.455, 1e-6);
    r = zoomThumbnails(0.14, false);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.message, QStringLiteral("縮小最小値 0.1"));
    EXPECT_TRUE(zoomThumbnails(0.15, false).changed);
}
