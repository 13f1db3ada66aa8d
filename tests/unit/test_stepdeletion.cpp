#include "edittesting.h"
#include "edit/stepdeletion.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Deletion : EditBench {
    StepDeletion del{steps, ops, host, dialogs, notices};
    void select(int n) { host.selectStep(n); }
};

} // namespace

TEST(StepDeletion, DeletingStepThreeOfFiveRenumbersKeepsNamesAndSelectsThree) {
    Deletion d;
    d.addSteps(5);
    d.put("notes.txt", "keep");
    d.select(3);
    d.del.deleteSelected();

    ASSERT_EQ(d.dialogs.questions,
              QStringList{QStringLiteral("選択している No = 3 を削除します。よろしいですか？")});
    EXPECT_EQ(d.dialogs.titles.last(), QStringLiteral("削除確認"));
    EXPECT_EQ(d.names(), (QStringList{d.name(1), d.name(2), d.name(4), d.name(5)}));
    EXPECT_EQ(d.steps.field(3, FieldNumber), "3");
    EXPECT_EQ(d.host.selected, 3);
    // Recording continues from max(count, 5 - 1), whatever the selection shows.
    EXPECT_EQ(d.host.txtNo, "3");
    EXPECT_EQ(d.host.recording, 4);
    EXPECT_EQ(d.host.statuses,
              (QStringList{QStringLiteral("削除中・・・"), QStringLiteral("削除完了")}));
    EXPECT_EQ(d.host.redraw, (QList<bool>{false, true}));

    const QString gone = d.name(3);
    EXPECT_FALSE(d.exists(gone + ".jpg"));
    EXPECT_FALSE(d.exists("NO_RECT/" + gone + ".jpg"));
    EXPECT_FALSE(d.exists("Thumb/Thumb_" + gone + ".jpg"));
    EXPECT_FALSE(d.exists("tmp_del"));
    for (int i : {1, 2, 4, 5}) {
        EXPECT_EQ(readBytes(d.file(d.name(i) + ".jpg")), d.name(i).toUtf8());
        EXPECT_TRUE(d.exists("NO_RECT/" + d.name(i) + ".jpg"));
        EXPECT_TRUE(d.exists("Thumb/Thumb_" + d.name(i) + ".jpg"));
    }
    EXPECT_EQ(readBytes(d.file("notes.txt")), "keep");

    // The list on disk holds the four steps in their new order.
    const QString saved = d.savedList();
    EXPECT_TRUE(saved.startsWith(QStringLiteral("最終行 = \t4\t\r\n")));
    EXPECT_FALSE(saved.contains(gone));
    EXPECT_LT(saved.indexOf(d.name(2)), saved.indexOf(d.name(4)));
}

TEST(StepDeletion, DeletingTheLastStepSelectsTheNewLastStep) {
    Deletion d;
    d.addSteps(3);
    d.select(3);
    d.del.deleteSelected();
    EXPECT_EQ(d.steps.count(), 2);
    EXPECT_EQ(d.host.selected, 2);
    EXPECT_EQ(d.host.recording, 2);
}

TEST(StepDeletion, RangeSetsTheStepNumberToCountOrOldNumberLessTheDeleted) {
    Deletion d;
    d.addSteps(6);
    d.host.txtNo = "2";
    EXPECT_EQ(d.del.deleteRange(5, 9).removed, 2); // 7..9 are not steps
    EXPECT_EQ(d.host.txtNo, "4");                  // max(4, 2 - 2)
    d.host.txtNo = "4";
    EXPECT_EQ(d.del.deleteRange(1, 1).removed, 1);
    EXPECT_EQ(d.host.txtNo, "3");
    EXPECT_EQ(d.steps.field(1, FieldImageName), d.name(2));
}

TEST(StepDeletion, SelectedNeedsASelectionAndTheWindowInFront) {
    Deletion d;
    d.addSteps(2);
    d.del.deleteSelected(); // nothing selected
    struct Behind : EditHost {
        using EditHost::EditHost;
        bool isForeground() const override { return false; }
    } behind(d.steps);
    StepDeletion other(d.steps, d.ops, behind, d.dialogs, d.notices);
    d.select(1);
    other.deleteSelected();
    EXPECT_EQ(d.steps.count(), 2);
    EXPECT_TRUE(d.dialogs.questions.isEmpty());
}

TEST(StepDeletion, UpperThroughTheLastStepEmptiesTheListAndRemovesOpList) {
    Deletion d;
    d.addSteps(4);
    ASSERT_TRUE(d.ops.save());
    ASSERT_TRUE(d.exists("OpList.txt"));
    d.select(4);
    d.del.deleteUpper();

    EXPECT_EQ(
        d.dialogs.questions.last(),
        QStringLiteral("選択画像 （ 4 ） を含め、左（上）側 （ No = 1 ～ 4 ） を全て削除します。") +
            "\r\n\r\n" + QStringLiteral("よろしいですか？"));
    EXPECT_EQ(d.steps.count(), 0);
    EXPECT_FALSE(d.exists("OpList.txt"));
    EXPECT_EQ(d.host.txtNo, ""); // 0 shows as nothing
    EXPECT_EQ(d.host.recording, 0);
    EXPECT_FALSE(d.host.imageSizePanel);
    EXPECT_EQ(QDir(d.folder()).entryList(QDir::Files), QStringList());
}

TEST(StepDeletion, LowerDeletesFromTheSelectionAndScrollsTheStrip) {
    Deletion d;
    d.addSteps(10);
    d.host.panels = 3;
    d.select(6);
    d.del.deleteLower();
    EXPECT_EQ(d.dialogs.questions.last(),
              QStringLiteral(
                  "選択画像 （ 6 ） を含め、右（下）側 （ No = 6 ～ 10 ） を全て削除します。") +
                  "\r\n\r\n" + QStringLiteral("よろしいですか？"));
    EXPECT_EQ(d.steps.count(), 5);
    EXPECT_EQ(d.host.selected, 5);
    EXPECT_EQ(d.host.stripFirst, 3); // max(1, 6 - 3 + 1), within 5 steps
    EXPECT_EQ(d.host.txtNo, "5");
}

TEST(StepDeletion, NoConfirmSkipsEveryQuestionButTheCheckedOne) {
    Deletion d;
    d.addSteps(8);
    conf().noConfirm = 1;
    d.select(1);
    d.del.deleteSelected();
    d.select(2);
    d.del.deleteUpper();
    d.select(5);
    d.del.deleteLower();
    EXPECT_TRUE(d.dialogs.questions.isEmpty());
    EXPECT_EQ(d.steps.count(), 4);

    d.steps.setField(FieldCheck, 1, kCheckMark);
    d.dialogs.okAnswer = false;
    d.del.deleteChecked();
    ASSERT_EQ(d.dialogs.questions, QStringList{QStringLiteral(
                                       "チェックされた項目をすべて削除します。よろしいですか？")});
    EXPECT_EQ(d.dialogs.titles.last(), QStringLiteral("削除"));
    EXPECT_EQ(d.steps.count(), 4); // Cancel

    d.del.deleteAll();
    EXPECT_EQ(d.dialogs.questions.size(), 1);
    EXPECT_EQ(d.steps.count(), 0);
}

TEST(StepDeletion, CancelLeavesEverything) {
    Deletion d;
    d.addSteps(3);
    d.dialogs.okAnswer = false;
    d.select(2);
    d.del.deleteSelected();
    d.del.deleteUpper();
    d.del.deleteLower();
    d.del.deleteAll();
    EXPECT_EQ(d.dialogs.questions.size(), 4);
    EXPECT_EQ(d.steps.count(), 3);
    EXPECT_TRUE(d.exists(d.name(2) + ".jpg"));
}

TEST(StepDeletion, CheckedStepsGoAndTheSelectionStaysOnItsStep) {
    Deletion d;
    d.addSteps(6);
    for (int i : {1, 3, 6})
        d.steps.setField(FieldCheck, i, kCheckMark);
    d.select(4);
    d.host.txtNo = "2";
    d.del.deleteChecked();
    EXPECT_EQ(d.names(), (QStringList{d.name(2), d.name(4), d.name(5)}));
    EXPECT_EQ(d.host.selected, 2);  // step 4 is now step 2
    EXPECT_EQ(d.host.recording, 3); // the new count
    for (int i : {1, 3, 6})
        EXPECT_FALSE(d.exists(d.name(i) + ".jpg"));
}

TEST(StepDeletion, AllRemovesEveryFormatAndNamedFoldersAndKeepsOtherFiles) {
    Deletion d;
    d.addStep("a", "x", "jpg");
    d.addStep("b", "x", "png");
    d.addStep("c", "x", "gif");
    d.addStep("d", "x", "bmp");
    ASSERT_TRUE(d.ops.save());
    d.put("stray.jpg");
    d.put("stray.png", "png");
    d.put("notes.txt", "notes");
    d.put("other/inner.jpg", "inner");
    d.put("locked.jpg", "locked");
    QFile::setPermissions(d.file("locked.jpg"), QFileDevice::ReadOwner);
    d.host.txtNo = "4";

    EXPECT_TRUE(d.del.deleteAll());
    EXPECT_EQ(d.dialogs.questions.last(),
              QStringLiteral("下記フォルダ内の全てのデータを削除します。よろしいですか？") +
                  "\r\n\r\n" + d.folder());
    EXPECT_EQ(d.steps.count(), 0);
    QStringList left = QDir(d.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{"locked.jpg", "notes.txt", "other", "stray.png"}));
    EXPECT_EQ(readBytes(d.file("other/inner.jpg")), "inner");
    EXPECT_EQ(d.host.viewCleared, 1);
    EXPECT_FALSE(d.host.keyBox);
    EXPECT_EQ(d.host.recording, 0);
    EXPECT_EQ(d.host.txtNo, "");
    EXPECT_EQ(d.host.statuses.last(), QStringLiteral("削除完了"));
}

TEST(StepDeletion, FileOfAStayingStepStaysWithIt) {
    Deletion d;
    d.addStep("same");
    d.addStep("same", "二", "jpg", QString(), false);
    d.select(1);
    d.del.deleteSelected();
    EXPECT_EQ(d.steps.count(), 1);
    EXPECT_TRUE(d.exists("same.jpg"));
    EXPECT_TRUE(d.exists("Thumb/Thumb_same.jpg"));
}

// Names from a hand-edited OpList.txt never reach outside the folder, nor
// files that are not pictures.
TEST(StepDeletion, HostileNamesTouchNothingOutsideTheFolder) {
    Deletion d;
    d.put("../outside.jpg", "outside");
    d.put("../Thumb_outside.jpg", "thumb");
    d.put("notes.txt", "notes");
    QDir().mkpath(d.file("sub"));
    for (const QString& n :
         {QStringLiteral("../outside"), QStringLiteral(".."), QStringLiteral("."),
          d.file("../outside"), QStringLiteral("notes"), QStringLiteral("sub")})
        d.addStep(n, "x", "jpg", QString(), false);
    d.addStep("keep");
    d.host.txtNo = "7";
    conf().noConfirm = 1;
    d.select(6);
    d.del.deleteUpper();
    EXPECT_EQ(d.names(), QStringList{"keep"});
    EXPECT_EQ(readBytes(d.folder() + "../outside.jpg"), "outside");
    EXPECT_EQ(readBytes(d.folder() + "../Thumb_outside.jpg"), "thumb");
    EXPECT_EQ(readBytes(d.file("notes.txt")), "notes");
    EXPECT_TRUE(QFileInfo(d.file("sub")).isDir());
    EXPECT_TRUE(d.exists("keep.jpg"));
}

TEST(StepDeletion, WhenTmpDelCannotBeMadeNothingChanges) {
    Deletion d;
    d.addSteps(3);
    d.put("tmp_del", "a file in the way");
    conf().noConfirm = 1;
    d.select(2);
    d.del.deleteSelected();
    EXPECT_EQ(d.steps.count(), 3);
    EXPECT_TRUE(d.exists(d.name(2) + ".jpg"));
    ASSERT_EQ(d.dialogs.messages.size(), 1);
    EXPECT_TRUE(d.dialogs.messages[0].contains(QStringLiteral("削除を中止しました")));
    EXPECT_EQ(d.host.statuses.last(), "");
}

// A list that was loaded only in part cannot be saved: deleting would leave
// OpList.txt naming files that are gone, so everything is put back.
TEST(StepDeletion, ListThatCannotBeSavedPutsStepsAndFilesBack) {
    Deletion d;
    d.put("OpList.txt", toShiftJis(QStringLiteral("最終行 = \tabc\t\r\n") + QString(28, '-') +
                                   QChar(3) + "\r\n"));
    EXPECT_FALSE(d.ops.load());
    d.dialogs.messages.clear();
    d.addSteps(3);
    const QStringList before = d.steps.lines();
    conf().noConfirm = 1;
    d.select(2);
    d.del.deleteSelected();
    EXPECT_EQ(d.steps.lines(), before);
    EXPECT_EQ(d.host.txtNo, "2"); // as it was
    EXPECT_TRUE(d.exists(d.name(2) + ".jpg"));
    EXPECT_TRUE(d.exists("NO_RECT/" + d.name(2) + ".jpg"));
    EXPECT_TRUE(d.exists("Thumb/Thumb_" + d.name(2) + ".jpg"));
    EXPECT_FALSE(d.exists("tmp_del"));
    ASSERT_EQ(d.dialogs.messages.size(), 1);
    EXPECT_TRUE(d.dialogs.messages[0].contains(QStringLiteral("削除を取り消しました")));

    // Emptying such a list would drop the steps it could not read: refused too.
    d.select(1);
    d.del.deleteLower();
    EXPECT_EQ(d.steps.count(), 3);
    EXPECT_TRUE(d.exists("OpList.txt"));
}

// A run that stopped between moving files and saving its list left them in
// tmp_del; the next run gives back those a listed step still uses.
TEST(StepDeletion, LeftoverTmpDelGivesBackFilesOfListedSteps) {
    Deletion d;
    d.addSteps(2);
    d.addStep(d.name(3), "x", "png", QString(), false);
    d.put("tmp_del/" + d.name(3) + ".png", "back");
    d.put("tmp_del/Thumb/Thumb_" + d.name(3) + ".jpg", "thumb");
    d.put("tmp_del/unlisted.jpg", "gone");
    conf().noConfirm = 1;
    d.select(1);
    d.del.deleteSelected();
    EXPECT_EQ(readBytes(d.file(d.name(3) + ".png")), "back");
    EXPECT_EQ(readBytes(d.file("Thumb/Thumb_" + d.name(3) + ".jpg")), "thumb");
    EXPECT_FALSE(d.exists("unlisted.jpg"));
    EXPECT_FALSE(d.exists("tmp_del"));
}

// A file that cannot leave its folder keeps its step, whole, and the user is
// told. Root ignores folder permissions, so the deletion runs as "nobody".
TEST(StepDeletion, FileThatCannotBeMovedKeepsItsStep) {
    Deletion d;
    d.addSteps(5);
    for (int i : {2, 3})
        QFile::remove(d.file("NO_RECT/" + d.name(i) + ".jpg"));
    ASSERT_TRUE(d.ops.save());
    const bool root = geteuid() == 0;
    if (root) {
        chmod(QFile::encodeName(d.home.path()).constData(), 0755);
        const QByteArray cmd = "chown -R 65534:65534 " + QFile::encodeName(d.home.path());
        ASSERT_EQ(system(cmd.constData()), 0);
    }
    chmod(QFile::encodeName(d.file("NO_RECT")).constData(), 0555);

    const pid_t child = fork();
    if (child == 0) {
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        conf().noConfirm = 1;
        d.select(2);
        d.del.deleteLower();
        QFile out(d.home.path("result.txt"));
        if (!out.open(QIODevice::WriteOnly)) _exit(4);
        out.write((d.names().join(',') + '\n' + d.dialogs.messages.join('|')).toUtf8());
        out.close();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    chmod(QFile::encodeName(d.file("NO_RECT")).constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const QString result = QString::fromUtf8(readBytes(d.home.path("result.txt")));
    const qsizetype cut = result.indexOf('\n');
    ASSERT_GT(cut, 0);
    const QString names = result.left(cut), messages = result.mid(cut + 1);
    // Steps 4 and 5 have NO_RECT copies that cannot move: they stay, with every file.
    EXPECT_EQ(names, QStringList({d.name(1), d.name(4), d.name(5)}).join(','));
    EXPECT_TRUE(messages.startsWith(QStringLiteral("次のファイルを削除できませんでした。")));
    EXPECT_TRUE(messages.contains("NO_RECT/" + d.name(4) + ".jpg"));
    EXPECT_TRUE(messages.contains("NO_RECT/" + d.name(5) + ".jpg"));
    for (int i : {4, 5}) {
        EXPECT_TRUE(d.exists(d.name(i) + ".jpg"));
        EXPECT_TRUE(d.exists("NO_RECT/" + d.name(i) + ".jpg"));
        EXPECT_TRUE(d.exists("Thumb/Thumb_" + d.name(i) + ".jpg"));
    }
    for (int i : {2, 3})
        EXPECT_FALSE(d.exists(d.name(i) + ".jpg"));
    // The saved list matches what stayed.
    const QString saved = d.savedList();
    EXPECT_TRUE(saved.contains(d.name(4)));
    EXPECT_FALSE(saved.contains(d.name(2)));
    EXPECT_FALSE(d.exists("tmp_del"));
}
