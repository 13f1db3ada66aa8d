#include "store/capturefolder.h"
#include "store/imagename.h"
#include "store/pathops.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

using namespace klavoro;
using namespace klavoro::test;

TEST(ImageName, StampAndItsTime) {
    const QDateTime t(QDate(2026, 12, 6), QTime(9, 5, 3, 47));
    EXPECT_EQ(timeStamp(t), QStringLiteral("2026120609050304"));
    EXPECT_EQ(timeOfImageName("2026120609050304"), QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)));
    EXPECT_EQ(timeOfImageName("abc"), kZeroDateTime);
    EXPECT_EQ(timeOfImageName("20261306090503xx"), kZeroDateTime);             // month 13
    EXPECT_EQ(timeOfImageName("2026120609050"), kZeroDateTime);                // too short
    EXPECT_EQ(timeOfImageName("２０２６１２０６０９０５０３"), kZeroDateTime); // full-width digits
}

TEST(ImageName, ExtensionByFormat) {
    EXPECT_EQ(imageExtensionFor(1), "jpg");
    EXPECT_EQ(imageExtensionFor(2), "png");
    EXPECT_EQ(imageExtensionFor(3), "gif");
    EXPECT_EQ(imageExtensionFor(0), "bmp");
    EXPECT_EQ(imageExtensionFor(-7), "bmp");
}

TEST(ImageName, EscapeAndUnescape) {
    EXPECT_EQ(escapeName("a&b"), QStringLiteral("a&＆b"));
    EXPECT_EQ(escapeName("C:\\x"), QStringLiteral("C&：&￥;x"));
    EXPECT_EQ(escapeName("\"a/b\""), QStringLiteral("&゛a&／b&゛"));
    EXPECT_EQ(unescapeName(QStringLiteral("C&：&￥;x")), QStringLiteral("C:\\x"));
    // Text that already looks escaped survives the round trip.
    const QString tricky = QStringLiteral("&＆&＊ & ＆ &￥; <>|?*");
    EXPECT_EQ(unescapeName(escapeName(tricky)), tricky);
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("&*\\<>|?/:\"＆＊￥;＜＞｜？／：゛ax");
    for (int i = 0; i < 2000; ++i) {
        QString s;
        for (int k = rng() % 12; k > 0; --k)
            s += alphabet[static_cast<int>(rng() % alphabet.size())];
        ASSERT_EQ(unescapeName(escapeName(s)), s) << s.toStdString();
        EXPECT_FALSE(escapeName(s).contains('/'));
    }
}

TEST(ImageName, NamerNeverHandsOutANameTwice) {
    ScratchHome home;
    ImageNamer namer;
    const QDateTime t(QDate(2026, 12, 6), QTime(9, 5, 3, 47));
    const QString folder = home.path();
    const QString first = namer.makeName(folder, t);
    EXPECT_EQ(first, "2026120609050304");
    EXPECT_EQ(namer.makeName(folder, t), "2026120609050305");
    // A name used by a file of the folder is skipped too.
    writeBytes(home.path("2026120609050306.png"), "x");
    EXPECT_EQ(namer.makeName(folder, t), "2026120609050307");
    // Advancing carries into the seconds.
    EXPECT_EQ(namer.makeName(folder, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 990))),
              "2026123123595999");
    EXPECT_EQ(namer.makeName(folder, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 990))),
              "2027010100000000");
}

TEST(PathOps, UnquoteAndResolve) {
    ScratchHome home;
    EXPECT_EQ(unquote(QStringLiteral("  \" \"a b\" \"  ")), QStringLiteral("a b"));
    EXPECT_EQ(unquote(QStringLiteral("\"a")), QStringLiteral("\"a"));
    QDir().mkpath(home.path("Tools"));
    const QString base = home.path("Tools");
    const QString root = home.dir.path();
    EXPECT_EQ(resolvePath("data", base), base + "/data");
    EXPECT_EQ(resolvePath("../x", base), root + "/x");
    EXPECT_EQ(resolvePath("./y", base), base + "/y");
    EXPECT_EQ(resolvePath("/z", base), "/z");
    EXPECT_EQ(resolvePath("\"data\"", base), base + "/data");
    EXPECT_EQ(resolvePath("\"data", base), "\"data");
    EXPECT_EQ(resolvePath("", base), base + "/");
    EXPECT_EQ(resolvePath("a/../../b/", base), root + "/b/");
    EXPECT_EQ(resolvePath("data"), home.path("data")); // default base: the program folder
}

TEST(PathOps, RelativePath) {
    EXPECT_EQ(relativePath("/Tools/data", "/Tools"), "data");
    EXPECT_EQ(relativePath("/Tools/data/", "/Tools/"), "data");
    EXPECT_EQ(relativePath("/Other", "/Tools"), "../Other");
    EXPECT_EQ(relativePath("/a/b/c", "/a/x/y"), "../../b/c");
    EXPECT_EQ(relativePath("data", "/Tools"), "data"); // not absolute like the base
    EXPECT_EQ(relativePath("//server/share", "/Tools"), "//server/share");
    EXPECT_EQ(relativePath("\"/Tools/d\"", "/Tools"), "d");
}

TEST(PathOps, ExtensionParentAndFileName) {
    EXPECT_EQ(extensionOf("a.b/c"), "");
    EXPECT_EQ(extensionOf("a.b\\c"), "");
    EXPECT_EQ(extensionOf("file.jpeg"), "jpeg");
    EXPECT_EQ(extensionOf("file.abcde"), "");
    EXPECT_EQ(extensionOf("noext"), "");
    EXPECT_EQ(withoutExtension("/d/2026.jpg"), "/d/2026");
    EXPECT_EQ(withoutExtension("file.abcde"), "file.abcde");
    EXPECT_EQ(withoutExtension("a."), "a.");
    EXPECT_EQ(parentFolder("\"/a/b/c.txt\""), "/a/b");
    EXPECT_EQ(parentFolder("c.txt"), "c.txt");
    EXPECT_EQ(fileNameOf("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(fileNameOf("c.txt"), "c.txt");
}

TEST(CaptureFolder, ResolvedCreatedAndOverriddenForTheRun) {
    ScratchHome home;
    EXPECT_EQ(captureFolderText(), "data/");
    EXPECT_EQ(captureFolder(), home.path("data/"));
    EXPECT_TRUE(QFileInfo(home.path("data")).isDir());
    conf().saveFolderPath = "deep/er";
    EXPECT_EQ(captureFolder(), home.path("deep/er/"));
    EXPECT_TRUE(QFileInfo(home.path("deep/er")).isDir());
    conf().saveFolderPath = "";
    EXPECT_EQ(captureFolder(), home.path()); // the program folder itself
    setRunTimeCaptureFolder(home.path("run time"));
    EXPECT_EQ(captureFolder(), home.path("run time/"));
    setRunTimeCaptureFolder(QString());
}

TEST(CaptureFolder, StepFilesStayInsideTheFolder) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(home.path("data/Thumb"));
    writeBytes(home.path("data/2026120609050304.jpg"), "x");
    writeBytes(home.path("data/odd.webp"), "x");
    writeBytes(home.path("secret.jpg"), "x");
    EXPECT_EQ(findImageFile(folder, "2026120609050304"), folder + "2026120609050304.jpg");
    EXPECT_EQ(findImageFile(folder, "odd"), folder + "odd.webp");
    EXPECT_EQ(findImageFile(folder, "missing"), QString());
    for (const QString& evil :
         {QStringLiteral("../secret"), QStringLiteral("/tmp/x"), QStringLiteral("a/../../secret"),
          QString(), QStringLiteral("a\0b")}) {
        EXPECT_EQ(findImageFile(folder, evil), QString()) << evil.toStdString();
        // A thumbnail is named like the saved image: escaped, so still inside.
        const QString thumb = thumbnailPath(folder, evil);
        if (!thumb.isEmpty()) {
            EXPECT_TRUE(thumb.startsWith(folder + "Thumb/Thumb_")) << thumb.toStdString();
            EXPECT_FALSE(thumb.mid(folder.size() + 6).contains('/')) << thumb.toStdString();
        }
    }
    EXPECT_EQ(thumbnailPath(folder, QString()), QString());
    EXPECT_EQ(thumbnailPath(folder, "2026.jpg"), folder + "Thumb/Thumb_2026.jpg");
    // Saving escapes the separator instead of following it.
    EXPECT_EQ(imagePathForSaving(folder, "a/b", "png"), folder + QStringLiteral("a&／b.png"));
    EXPECT_EQ(imagePathForSaving(folder, "..", "png"), QString());
}

TEST(CaptureFolder, WindowTitleShowsTheFolderRelativeToTheProgram) {
    ScratchHome home;
    EXPECT_EQ(windowTitle(),
              QStringLiteral("クラヴォロ ") + versionText() + QStringLiteral("  －  data"));
    EXPECT_TRUE(versionText().startsWith("Ver"));
    conf().saveFolderPath = "data/NO_RECT/";
    EXPECT_TRUE(windowTitle().endsWith(QStringLiteral("  －  data/NO_RECT")));
}
