#include "edit/listfromimages.h"
#include "edittesting.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
QByteArray sj(const QString& s) {
    return toShiftJis(s);
}
const QByteArray kHead = sj(QStringLiteral("最終行 ="));
const QByteArray kDash(28, '-');
} // namespace

TEST(ListFromImages, BuildsFiveFieldLinesFromThePictureFilesOnly) {
    EditBench b;
    b.put("b.PNG");
    b.put("notes.txt");
    b.put("a.jpg");
    b.put("Thumb/Thumb_a.jpg"); // sub-folders are not looked into
    const ImageListBuild r = buildListFromImages(b.folder(), QStringLiteral("(無題)"));
    EXPECT_EQ(r.count, 2);
    EXPECT_FALSE(r.failed);
    EXPECT_TRUE(r.backup.isEmpty());
    const QByteArray expected = kHead + "\t2\t" + kDash + "\x03\r\n" +                        //
                                "0\ta.jpg" + QByteArray(14, ' ') + "\t\t0\t" + sj("(無題)") + //
                                "\r\n1\tb.PNG" + QByteArray(14, ' ') + "\t\t1\t" + sj("(無題)") +
                                "\r\n";
    EXPECT_EQ(readBytes(b.file("OpList.txt")), expected);

    // The loader reads it back: numbered 1..N, the file name as image name.
    ASSERT_TRUE(b.ops.load());
    EXPECT_EQ(b.names(), QStringList({"a.jpg", "b.PNG"}));
    EXPECT_EQ(b.steps.field(2, FieldMessage), QStringLiteral("(無題)"));
    EXPECT_EQ(b.steps.field(2, FieldCheck), "");
    EXPECT_EQ(b.host.selected, 2);
}

TEST(ListFromImages, LongNamesGetNoPadding) {
    const QString text = imageListText({"2026120609050304.jpg"}, "p");
    EXPECT_TRUE(text.endsWith("0\t2026120609050304.jpg\t\t0\tp\r\n"));
}

TEST(ListFromImages, NoImagesLeavesTheOldListAlone) {
    EditBench b;
    b.put("OpList.txt", "old list");
    b.put("notes.txt");
    const ImageListBuild r = buildListFromImages(b.folder(), "p");
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(readBytes(b.file("OpList.txt")), "old list");
    EXPECT_EQ(QDir(b.folder()).entryList({"*.bak"}, QDir::Files), QStringList());

    loadImageFiles(b.host, b.dialogs, b.notices);
    EXPECT_EQ(b.dialogs.messages, QStringList{QStringLiteral("画像ファイルがありません！")});
    EXPECT_EQ(b.host.reloads, 0);
    EXPECT_EQ(readBytes(b.file("OpList.txt")), "old list");
}

TEST(ListFromImages, OverwrittenListIsKeptAsABackup) {
    EditBench b;
    b.put("OpList.txt", "old list");
    b.put("x.gif");
    const ImageListBuild r = buildListFromImages(b.folder(), "p");
    ASSERT_EQ(r.count, 1);
    ASSERT_FALSE(r.backup.isEmpty());
    EXPECT_TRUE(QFileInfo(r.backup).fileName().contains(
        QRegularExpression("^OpList\\.txt\\.[0-9]{16}\\.bak$")));
    EXPECT_EQ(readBytes(r.backup), "old list");
    EXPECT_TRUE(readBytes(b.file("OpList.txt")).startsWith(kHead));
}

TEST(ListFromImages, CommandAsksEmptiesTheListAndLoadsTheNewOne) {
    EditBench b;
    b.addStep("old", "x", "jpg", QString(), false);
    ASSERT_TRUE(b.ops.save());
    b.put("p1.png");
    b.put("p2.jpeg");
#ifndef _WIN32 // no TAB in a Windows file name
    b.put(QStringLiteral("tab\tname.jpg"));
#endif
    conf().dspPhraseDef = QStringLiteral("既定");

    b.dialogs.okAnswer = false;
    loadImageFiles(b.host, b.dialogs, b.notices);
    ASSERT_EQ(b.dialogs.questions.size(), 1);
    EXPECT_EQ(
        b.dialogs.questions[0],
        QStringLiteral("下記フォルダのファイルを使って「OpList.txt」を作成します。\r\n\r\n　") +
            b.folder() +
            QStringLiteral("\r\n\r\n既に「OpList.txt」が存在しますが、上書き作成してよろしいで"
                           "すか？\r\n\r\n実行して宜しいですか？"));
    EXPECT_EQ(b.dialogs.titles.last(), QStringLiteral("管理ファイル作成"));
    EXPECT_EQ(b.names(), QStringList{"old"});

    b.dialogs.okAnswer = true;
    loadImageFiles(b.host, b.dialogs, b.notices);
    EXPECT_EQ(b.names(), QStringList({"p1.png", "p2.jpeg"}));
    EXPECT_EQ(b.steps.field(1, FieldMessage), QStringLiteral("既定"));
    ASSERT_EQ(b.dialogs.messages.size(), 1);
    const QString done = b.dialogs.messages[0];
    EXPECT_TRUE(done.startsWith(QStringLiteral(
        "画像ファイルを読み込み「OpList.txt」を作成しました。\r\n\r\nファイル数=2")));
#ifndef _WIN32
    EXPECT_TRUE(done.contains(QStringLiteral("tab<TAB>name.jpg"))); // told, not written
#endif
    EXPECT_TRUE(b.notices.lastProgress.isEmpty());
}

// Whatever is in the way of the old list (here a folder of that name, which
// even root cannot copy) fails the build before anything is written.
TEST(ListFromImages, OldListThatCannotBeKeptStopsTheBuild) {
    EditBench b;
    QDir().mkpath(b.file("OpList.txt"));
    b.put("a.jpg");
    const ImageListBuild r = buildListFromImages(b.folder(), "p");
    EXPECT_TRUE(r.failed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_TRUE(QFileInfo(b.file("OpList.txt")).isDir());
    EXPECT_EQ(QDir(b.folder()).entryList({"*.bak"}, QDir::AllEntries), QStringList());

    loadImageFiles(b.host, b.dialogs, b.notices);
    ASSERT_EQ(b.dialogs.messages.size(), 1);
    EXPECT_TRUE(b.dialogs.messages[0].startsWith(QStringLiteral("作成に失敗しました！")));
    EXPECT_EQ(b.host.reloads, 0);
}
