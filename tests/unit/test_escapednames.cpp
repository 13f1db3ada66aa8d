// Image files whose names hold the "&" sequences of the file-name escaping, or
// the plain characters, stay usable by every command once a list is built
// from them: shown, thumbnailed, exported, checked and deleted.
#include "edit/filecheck.h"
#include "edit/listfromimages.h"
#include "edit/stepdeletion.h"
#include "edittesting.h"
#include "export/imagefileindex.h"
#include "export/manualsteps.h"
#include "export/thumbnails.h"
#include "store/pathops.h"
#include "store/settings.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// One name for each sequence of the table, one with the plain characters
// and a recorded one.
const QStringList kFiles = {QStringLiteral("amp&＆.png"),          QStringLiteral("star&＊.png"),
                            QStringLiteral("yen&￥;.png"),         QStringLiteral("lt&＜gt&＞.png"),
                            QStringLiteral("bar&｜.png"),          QStringLiteral("q&？.png"),
                            QStringLiteral("slash&／.png"),        QStringLiteral("colon&：.png"),
                            QStringLiteral("quote&゛.png"),
#ifndef _WIN32 // '?' cannot be in a Windows file name
                            QStringLiteral("Q&A?.png"),
#endif
                            QStringLiteral("2026120609050304.png")};

struct Folder : EditBench {
    Folder() {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        for (const QString& f : kFiles)
            EXPECT_TRUE(image.save(file(f), "PNG")) << qPrintable(f);
        EXPECT_EQ(buildListFromImages(folder(), QStringLiteral("題")).count, kFiles.size());
        steps.clear();
        EXPECT_TRUE(ops.load());
    }
    // The step whose image is the given file.
    int stepOf(const QString& fileName) const {
        for (int n = 1; n <= steps.count(); ++n)
            if (fileNameOf(findImageFile(folder(), steps.field(n, FieldImageName))) == fileName)
                return n;
        return 0;
    }
};

} // namespace

TEST(EscapedImageNames, EveryFileIsFoundShownExportedAndThumbnailed) {
    Folder f;
    ASSERT_EQ(f.steps.count(), kFiles.size());
    const ImageFileIndex index(f.folder());
    const Settings settings;
    const ManualSteps manual = ManualSteps::of(f.steps, f.folder(), settings);
    for (const QString& file : kFiles) {
        SCOPED_TRACE(file.toStdString());
        const int n = f.stepOf(file);
        ASSERT_GT(n, 0);
        const QString name = f.steps.field(n, FieldImageName);
        EXPECT_EQ(index.find(name), file);        // HTML manual
        EXPECT_EQ(manual.step(n).fileName, file); // documents
        EXPECT_EQ(makeThumbnail(f.folder(), name, false, ThumbnailBox{}), 1);
        EXPECT_TRUE(QFileInfo(thumbnailPath(f.folder(), name)).isFile());
    }
    // Saved and loaded again, the names still lead to the same files.
    f.host.txtNo = "1";
    ASSERT_TRUE(f.ops.save());
    const QStringList names = f.names();
    f.steps.clear();
    ASSERT_TRUE(f.ops.load());
    EXPECT_EQ(f.names(), names);
    for (const QString& file : kFiles)
        EXPECT_GT(f.stepOf(file), 0) << qPrintable(file);
}

TEST(EscapedImageNames, FileCheckCountsThemUsedAndDeletionTakesOnlyItsOwn) {
    Folder f;
    for (int n = 1; n <= f.steps.count(); ++n)
        makeThumbnail(f.folder(), f.steps.field(n, FieldImageName), false, ThumbnailBox{});
    const FileCheck check(FileCheck::imageNamesOf(f.steps));
    using Kind = FileCheck::Kind;
    EXPECT_EQ(check.unusedFiles(Kind::Images, f.folder()), QStringList());
    EXPECT_EQ(
        check.unusedFiles(Kind::Thumbnails, FileCheck::folderFor(Kind::Thumbnails, f.folder())),
        QStringList());

    StepDeletion deletion(f.steps, f.ops, f.host, f.dialogs, f.notices);
#ifdef _WIN32
    const QString second = QStringLiteral("star&＊.png");
#else
    const QString second = QStringLiteral("Q&A?.png");
#endif
    for (const QString& gone : {QStringLiteral("amp&＆.png"), second}) {
        const int n = f.stepOf(gone);
        ASSERT_GT(n, 0);
        const QString thumb = thumbnailPath(f.folder(), f.steps.field(n, FieldImageName));
        f.host.selectStep(n);
        deletion.deleteSelected();
        EXPECT_FALSE(f.exists(gone));
        EXPECT_FALSE(QFileInfo::exists(thumb));
    }
    EXPECT_EQ(f.steps.count(), kFiles.size() - 2);
    for (const QString& file : kFiles) {
        const bool deleted =
            file == QStringLiteral("amp&＆.png") || file == second;
        EXPECT_EQ(f.exists(file), !deleted) << qPrintable(file);
    }
    EXPECT_EQ(FileCheck(FileCheck::imageNamesOf(f.steps)).unusedFiles(Kind::Images, f.folder()),
              QStringList());
}

TEST(EscapedImageNames, NamesTheListCannotHoldAreNamedInTheMessage) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names hold no TAB or line break";
#endif
    EditBench b;
    b.put(QStringLiteral("tab\tname.jpg"));
    b.put(QStringLiteral("line\nbreak.png"));
    b.put(QStringLiteral("fine.png"));
    loadImageFiles(b.host, b.dialogs, b.notices);
    ASSERT_EQ(b.dialogs.messages.size(), 1);
    const QString message = b.dialogs.messages[0];
    EXPECT_TRUE(message.contains(QStringLiteral("tab<TAB>name.jpg"))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("line<LF>break.png")));
    EXPECT_EQ(b.names(), QStringList{"fine.png"});
    EXPECT_EQ(visibleFileName(QStringLiteral("a\r\x1b")), QStringLiteral("a<CR><1B>"));
}
