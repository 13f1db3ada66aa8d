#include "edittesting.h"
#include "edit/filecheck.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

TEST(FileCheck, ImagesNoStepUsesAreListedAndOpListNever) {
    EditBench b;
    for (const char* f : {"2026.jpg", "2027.png", "built.jpg", "ABC.jpg", "with blank.png",
                          "stray.jpg", "notes.txt", "OPLIST.TXT"})
        b.put(f);
    b.put("NO_RECT/2026.jpg"); // folders are not entries
    const FileCheck check({"2026", " 2027 ", "built.jpg", "abc", "with blank.png"});
    const QStringList unused = check.unusedFiles(FileCheck::Kind::Images, b.folder());
    // Exact names only: "ABC" is not "abc".
    EXPECT_EQ(unused, QStringList({"ABC.jpg", "notes.txt", "stray.jpg"}));
}

TEST(FileCheck, ThumbnailCheckListsThumbnailsOfNoStep) {
    EditBench b;
    for (const char* f : {"Thumb_2026.jpg", "Thumb_x.jpg", "Thumb_built.jpg", "Thumb_a.png.jpg"})
        b.put(QStringLiteral("Thumb/") + f);
    const FileCheck check({"2026", "built.png", "a.png"});
    const QString folder = FileCheck::folderFor(FileCheck::Kind::Thumbnails, b.folder());
    EXPECT_EQ(folder, b.folder() + "Thumb/");
    EXPECT_EQ(check.unusedFiles(FileCheck::Kind::Thumbnails, folder), QStringList{"Thumb_x.jpg"});
}

TEST(FileCheck, DeletingTakesPlainNamesOnly) {
    EditBench b;
    b.put("a.jpg");
    b.put("ab.jpg");
    b.put("../outside.jpg");
    QDir().mkpath(b.file("dir"));
    const QStringList left =
        deleteCheckedFiles(b.folder(), {"a*.jpg", "../outside.jpg", "..", "dir", "gone.jpg"});
    EXPECT_EQ(left, QStringList({"../outside.jpg", "..", "dir"}));
    EXPECT_TRUE(b.exists("a.jpg"));
    EXPECT_TRUE(b.exists("ab.jpg"));
    EXPECT_TRUE(QFileInfo::exists(b.folder() + "../outside.jpg"));
}
