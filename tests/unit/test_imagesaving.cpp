#include "capture/imageprobe.h"
#include "capture/imagesaving.h"
#include "store/capturefolder.h"
#include "store/oplist.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class Host : public StepImageHost {
public:
    void markSaved(int step) override { saved << step; }
    void publishStatus(const QString& s) override { statuses << s; }
    QList<int> saved;
    QStringList statuses;
};

struct Saving {
    ScratchHome home;
    FakeDialogs dialogs;
    OpListHost listHost;
    StepList steps;
    OperationList ops{steps, listHost, dialogs};
    Host host;
    StepImageSaver saver{steps, ops, dialogs, host};
    CapturedImages images;
    Saving() {
        images.marked = QImage(120, 80, QImage::Format_RGB32);
        images.marked.fill(Qt::red);
        images.unmarked = QImage(120, 80, QImage::Format_RGB32);
        images.unmarked.fill(Qt::white);
        images.targetName = "around";
        images.screenSize = QSize(1280, 1024);
    }
    QString folder() const { return captureFolder(); }
};

} // namespace

TEST(SaveStepImage, WritesTheConfiguredFormatOnceWithThumbnailAndLog) {
    Saving s;
    s.ops.addStep(1, "2026120609050304", "m", "", "", false, false);
    writeBytes(s.folder() + "2026120609050304.bmp", "old"); // another extension of the name
    ASSERT_TRUE(s.saver.saveStepImage(1, QString(), false, s.images));
    const QString path = s.folder() + "2026120609050304.jpg";
    EXPECT_EQ(probeImageSize(path).type, ImageSize::Jpeg);
    EXPECT_FALSE(QFile::exists(s.folder() + "2026120609050304.bmp"));
    EXPECT_TRUE(QFile::exists(s.folder() + "Thumb/Thumb_2026120609050304.jpg"));
    EXPECT_EQ(s.steps.field(1, FieldExtension), "jpg");
    EXPECT_EQ(s.host.saved, QList<int>{1});
    EXPECT_TRUE(QFile::exists(s.folder() + "OpList.txt"));
    EXPECT_EQ(QDir(s.folder()).entryList(QDir::Files | QDir::Hidden).size(),
              2); // image and list only
    const QString log = fromShiftJis(readBytes(s.home.path("log_exe.txt")));
    EXPECT_TRUE(
        log.contains("PicFile    :" + path +
                     "\r\nScreen  W,H:1280,1024\r\nPic     W,H:120,80\r\n"
                     "Target     :around\r\nPlainScale :0\r\n"
                     "Conf_RectPointColor , Conf_RectPointWidth, Conf_RectPointRound:255,2,5"));
}

TEST(SaveStepImage, TheStepsOwnExtensionWinsAndUnmarkedCopiesGoToNoRect) {
    Saving s;
    conf().saveFileFormat = 1;
    conf().noRectFile = 1;
    s.ops.addStep(1, "a", "m", "png", "", false, false);
    ASSERT_TRUE(s.saver.saveStepImage(1, QString(), true, s.images));
    EXPECT_EQ(probeImageSize(s.folder() + "a.png").type, ImageSize::Png);
    const QImage copy(s.folder() + "NO_RECT/a.png");
    EXPECT_EQ(copy.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_FALSE(QFile::exists(s.folder() + "OpList.txt")); // no list update asked
    conf().saveFileFormat = 0;
    s.ops.addStep(2, "b", "m", "", "", false, false);
    ASSERT_TRUE(s.saver.saveStepImage(2, QString(), true, s.images));
    EXPECT_EQ(probeImageSize(s.folder() + "b.bmp").type, ImageSize::Bmp);
}

TEST(SaveStepImage, PathLimitCountsShiftJisBytes) {
    Saving s;
    const QString folder = s.folder();
    const int room = 254 - halfWidthLength(folder) - 4; // ".jpg"
    ASSERT_GT(room, 20);
    QString fits(room - 2, 'a');
    fits += QStringLiteral("あ"); // two bytes in Shift-JIS
    s.ops.addStep(1, fits, "m", "jpg", "", false, false);
    EXPECT_TRUE(s.saver.saveStepImage(1, QString(), true, s.images));
    const QString tooLong = fits + "b";
    s.ops.addStep(2, tooLong, "m", "jpg", "", false, false);
    EXPECT_FALSE(s.saver.saveStepImage(2, QString(), true, s.images));
    ASSERT_EQ(s.dialogs.titles.size(), 1);
    EXPECT_EQ(s.dialogs.titles[0], QStringLiteral("保存エラー"));
    EXPECT_TRUE(s.dialogs.messages[0].startsWith(
        QStringLiteral("ファイルパスが長すぎます！ 257文字（半角換算）")));
    EXPECT_EQ(s.host.statuses, QStringList{QStringLiteral("保存エラー！")});
    EXPECT_FALSE(QFile::exists(folder + tooLong + ".jpg"));
}

TEST(SaveStepImage, AFailedWriteIsReportedAndClaimsNoImage) {
    Saving s;
    s.ops.addStep(1, "a", "m", "", "", false, false);
    QDir().mkpath(s.folder() + "a.jpg"); // a folder where the image should go
    EXPECT_FALSE(s.saver.saveStepImage(1, QString(), false, s.images));
    EXPECT_EQ(s.dialogs.titles, QStringList{QStringLiteral("保存エラー")});
    EXPECT_TRUE(s.dialogs.messages[0].contains(QStringLiteral("の作成に失敗！")));
    EXPECT_EQ(s.steps.field(1, FieldExtension), ""); // the line is not rewritten
    EXPECT_TRUE(s.host.saved.isEmpty());
    // An empty name has nothing to save under: also a failure.
    s.steps.append("\t\t\t2\tm\t\t");
    EXPECT_FALSE(s.saver.saveStepImage(2, QString(), false, s.images));
    EXPECT_FALSE(s.saver.saveStepImage(1, QString(), false, CapturedImages{}));
}

TEST(SaveAs, FilterFolderRuleAndConversions) {
    ScratchHome home;
    FakeDialogs dialogs;
    EXPECT_EQ(saveAsFilterIndex("png", 1), 3);
    EXPECT_EQ(saveAsFilterIndex("", 1), 2);
    EXPECT_EQ(saveAsFilterIndex("", 0), 1);
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString folder = captureFolder();
    EXPECT_FALSE(saveImageCopyAs(img, folder + "x.png", folder, 70, dialogs));
    EXPECT_EQ(dialogs.messages,
              QStringList{folder + QStringLiteral(" 以外のフォルダを指定して下さい！")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("フォルダ指定不可")});
    QDir().mkpath(home.path("out"));
    EXPECT_TRUE(saveImageCopyAs(img, home.path("out/x.bmp"), folder, 70, dialogs));
    EXPECT_EQ(probeImageSize(home.path("out/x.bmp")).type, ImageSize::Bmp);

    EXPECT_TRUE(convertByExtension(home.path("out/x.gif"), home.path("out/x.bmp"), 70));
    EXPECT_EQ(probeImageSize(home.path("out/x.gif")).type, ImageSize::Gif);
    EXPECT_FALSE(convertByExtension(home.path("out/x.jpeg"), home.path("out/x.bmp"), 70));
    EXPECT_FALSE(QFile::exists(home.path("out/x.jpeg")));

    QImage wide(1920, 1080, QImage::Format_RGB32);
    wide.fill(Qt::gray);
    ASSERT_TRUE(wide.save(home.path("out/wide.png")));
    ASSERT_TRUE(
        fitFileIntoSize(home.path("out/wide.png"), home.path("out/fit.jpg"), 600, 400, 1.0));
    const ImageSize fit = probeImageSize(home.path("out/fit.jpg"));
    EXPECT_EQ(QSize(fit.width, fit.height), QSize(600, 338));
}
