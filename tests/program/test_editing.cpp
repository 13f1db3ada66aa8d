// The editing commands of the program as a user gives them: the edit menu,
// the list's pop-up menu, the Delete key, Ctrl+Up / Ctrl+Down and a double
// click; checked on disk (OpList.txt, the steps' files) and on the screen.
#include "store/sjis.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The steps the folder should still hold, as their names, in order.
QStringList namesOf(const QList<int>& steps) {
    QStringList out;
    for (int i : steps)
        out << stepName(i);
    return out;
}

QList<int> range(int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out << i;
    return out;
}

// Every file of a step: the picture, its unmarked copy and its thumbnail.
bool filesOf(const QString& folder, int step, bool present) {
    const QString name = stepName(step) + QStringLiteral(".jpg");
    for (const QString& rel : {name, QStringLiteral("NO_RECT/") + name,
                               QStringLiteral("Thumb/Thumb_") + name})
        if (QFile::exists(folder + rel) != present) return false;
    return true;
}

// Runs one deletion and checks what is left: the list file, the files of
// the deleted and the kept steps, no tmp_del, and the rows on the screen.
void expectDeleted(ProgramSession& s, QList<int>& kept, const QList<int>& deleted,
                   const char* what) {
    SCOPED_TRACE(what);
    for (int i : deleted)
        kept.removeOne(i);
    EXPECT_TRUE(waitUntil([&] { return opListField(s.folder(), 1) == namesOf(kept); }, 8000))
        << "OpList.txt holds " << opListField(s.folder(), 1).join(' ').toStdString();
    for (int i : deleted) {
        EXPECT_TRUE(filesOf(s.folder(), i, false)) << "files of step " << i << " remain";
        EXPECT_FALSE(s.row(i)) << "step " << i << " still listed";
    }
    for (int i : kept)
        EXPECT_TRUE(filesOf(s.folder(), i, true)) << "files of kept step " << i << " gone";
    // The folders go after the list: the deletion may still be ending.
    EXPECT_TRUE(waitUntil([&] { return !QDir(s.folder() + QStringLiteral("tmp_del")).exists(); }, 8000));
    EXPECT_EQ(s.run().process().state(), QProcess::Running);
}

} // namespace

TEST(Editing, TheEditMenuAndTheDeleteKeyDeleteStepsWithTheirFiles) {
    ProgramSession s(ProgramSession::checked({13, 20}));
    ASSERT_TRUE(s.ready());
    QList<int> kept = range(1, 30);

    // Asked first; "Cancel" keeps everything.
    ASSERT_TRUE(s.select(5));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("削除 - 選択画像")));
    EXPECT_TRUE(s.dialogText(QStringLiteral("削除確認")).contains(QStringLiteral("No = 5")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Cancel));
    pause(300);
    expectDeleted(s, kept, {}, "cancelled");

    ASSERT_TRUE(s.select(5));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("削除 - 選択画像")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {5}, "selected");

    // Position 10 is step 11 now: everything up to it goes.
    ASSERT_TRUE(s.select(11));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("削除 - 左側（選択含）")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {1, 2, 3, 4, 6, 7, 8, 9, 10, 11}, "upper");

    ASSERT_TRUE(s.select(26));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("削除 - 右側（選択含）")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {26, 27, 28, 29, 30}, "lower");

    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("削除 - チェック項目")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除"), Answer::Ok));
    expectDeleted(s, kept, {13, 20}, "checked");

    // The Delete key in the list deletes the selected step.
    ASSERT_TRUE(s.select(15));
    s.ui().key(QStringLiteral("Delete"));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {15}, "Delete key");

    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("全て削除")));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(s.folder() + "OpList.txt"); }, 8000));
    for (int i : kept)
        EXPECT_TRUE(filesOf(s.folder(), i, false)) << "step " << i;
    // The folders go after the list: the deletion may still be ending.
    EXPECT_TRUE(waitUntil([&] { return !QDir(s.folder() + QStringLiteral("NO_RECT")).exists(); }, 8000));
    EXPECT_TRUE(waitUntil([&] { return !QDir(s.folder() + QStringLiteral("Thumb")).exists(); }, 8000));
    EXPECT_TRUE(waitUntil([&] { return !QDir(s.folder() + QStringLiteral("tmp_del")).exists(); }, 8000));
    EXPECT_EQ(s.rowCount(), 0);
    EXPECT_EQ(s.ran(),
              QStringList({"mnuDel", "mnuDel", "mnuLeftDel", "mnuRightDel", "mnuDelCheck", "mnuDel",
                           "mnuAllDel"}));
    EXPECT_TRUE(s.close());
}

TEST(Editing, TheListMenuDeletesStepsWithTheirFiles) {
    ProgramSession s(ProgramSession::checked({4, 17}));
    ASSERT_TRUE(s.ready());
    QList<int> kept = range(1, 30);
    auto listMenu = [&](int step, const char* entry) {
        ASSERT_TRUE(s.select(step));
        ASSERT_TRUE(s.listMenu(QString::fromUtf8(entry)));
    };

    listMenu(8, "選択項目を削除");
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {8}, "selected");

    listMenu(3, "削除 - 上側（選択含）");
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, {1, 2, 3}, "upper");

    listMenu(25, "削除 - 下側（選択含）");
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    expectDeleted(s, kept, range(25, 30), "lower");

    listMenu(10, "削除 - チェック項目");
    ASSERT_TRUE(s.answer(QStringLiteral("削除"), Answer::Ok));
    expectDeleted(s, kept, {4, 17}, "checked");

    listMenu(10, "全て削除");
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(s.folder() + "OpList.txt"); }, 8000));
    for (int i : kept)
        EXPECT_TRUE(filesOf(s.folder(), i, false)) << "step " << i;
    // The folders go after the list: the deletion may still be ending.
    EXPECT_TRUE(waitUntil([&] { return !QDir(s.folder() + QStringLiteral("tmp_del")).exists(); }, 8000));
    EXPECT_EQ(s.ran(),
              QStringList({"mnuListDel", "mnuListUpperDel", "mnuListLowerDel", "mnuListDelCheck",
                           "mnuListAllDell"}));
    EXPECT_TRUE(s.close());
}

TEST(Editing, StepsMoveByMenuAndByCtrlArrows) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    QList<int> order = range(1, 30);
    auto expectOrder = [&](const char* what) {
        EXPECT_TRUE(waitUntil([&] { return opListField(s.folder(), 1) == namesOf(order); }, 5000))
            << what << ": " << opListField(s.folder(), 1).join(' ').toStdString();
        EXPECT_TRUE(s.row(3).selected) << what << ": the moved step is no longer selected";
    };

    ASSERT_TRUE(s.select(3));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("後に移動")));
    order.move(2, 3);
    expectOrder("後に移動");
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("前に移動")));
    order.move(3, 2);
    expectOrder("前に移動");

    const QString move = QStringLiteral("移動");
    ASSERT_TRUE(s.listMenu(QStringLiteral("後に移動"), move));
    order.move(2, 3);
    expectOrder("list menu 後に移動");
    ASSERT_TRUE(s.listMenu(QStringLiteral("前に移動"), move));
    order.move(3, 2);
    expectOrder("list menu 前に移動");
    ASSERT_TRUE(s.listMenu(QStringLiteral("先頭に移動"), move));
    order.move(2, 0);
    expectOrder("先頭に移動");
    ASSERT_TRUE(s.listMenu(QStringLiteral("末尾に移動"), move));
    order.move(0, 29);
    expectOrder("末尾に移動");

    // The keys act in the list, which has the focus after the click.
    ASSERT_TRUE(s.select(3));
    s.ui().key(QStringLiteral("Ctrl+Up"));
    order.move(29, 28);
    expectOrder("Ctrl+Up");
    s.ui().key(QStringLiteral("Ctrl+Down"));
    order.move(28, 29);
    expectOrder("Ctrl+Down");
    EXPECT_EQ(s.ran(),
              QStringList({"mnuMove_1", "mnuMove_0", "mnuListMove_1", "mnuListMove_0",
                           "mnuListMove_2", "mnuListMove_3", "mnuListMove_0", "mnuListMove_1"}));
    EXPECT_TRUE(s.close());
    EXPECT_EQ(opListField(s.folder(), 1), namesOf(order));
}

TEST(Editing, TheSentenceEditorFromTheMenuAndFromADoubleClick) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString editor = QStringLiteral("編集");
    auto replaceText = [&](const QString& text) {
        const UiElement box = s.ui().find(
            [](const UiElement& e) { return e.role == QLatin1String("text"); }, 5000, editor);
        ASSERT_TRUE(box) << "no sentence editor";
        s.ui().click(box.centre());
        s.ui().key(QStringLiteral("Ctrl+a"));
        s.ui().type(text);
    };

    ASSERT_TRUE(s.select(4));
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("テキスト編集")));
    replaceText(QStringLiteral("Press the Save button"));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Ok"), editor));
    EXPECT_TRUE(waitUntil(
        [&] { return opListField(s.folder(), 4).value(3) == "Press the Save button"; }, 5000))
        << opListField(s.folder(), 4).value(3).toStdString();
    EXPECT_TRUE(s.row(QStringLiteral("Press the Save button")));

    // A double click on a row opens it too; Cancel keeps the sentence.
    ASSERT_TRUE(s.select(6));
    s.ui().doubleClick(s.rowPoint(6));
    replaceText(QStringLiteral("never stored"));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Cancel"), editor));
    pause(500);
    EXPECT_EQ(opListField(s.folder(), 4).value(5), stepSentence(6));
    s.ui().doubleClick(s.rowPoint(6));
    replaceText(QStringLiteral("Edited twice"));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Ok"), editor));
    EXPECT_TRUE(
        waitUntil([&] { return opListField(s.folder(), 4).value(5) == "Edited twice"; }, 5000));
    // Every other field of the lines stays.
    EXPECT_EQ(opListField(s.folder(), 1), namesOf(range(1, 30)));
    EXPECT_EQ(opListField(s.folder(), 4).value(4), stepSentence(5));
    EXPECT_EQ(s.ran(), QStringList({"mnuTextEdit"}));
    EXPECT_TRUE(s.close());
}

TEST(Editing, AListFromImagesAndTheFileCheck) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    // A picture no step names, and one more step's picture.
    const QString stray = s.folder() + QStringLiteral("stray.jpg");
    ASSERT_TRUE(QFile::copy(s.folder() + stepName(1) + ".jpg", stray));
    ASSERT_TRUE(QFile::copy(s.folder() + stepName(1) + ".jpg", s.folder() + stepName(31) + ".jpg"));

    // The check finds the stray picture and deletes it on request; the
    // pictures of the steps stay.
    const QString check = QStringLiteral("リスト／ファイル整合チェック");
    ASSERT_TRUE(s.menu(QStringLiteral("ファイル"), QStringLiteral("ファイルチェック")));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("画像ファイルチェック"),
                             check));
    ASSERT_TRUE(s.answer(QStringLiteral("不要ファイル"), Answer::Ok));
    const UiElement strayRow = s.ui().find(
        [](const UiElement& e) {
            return e.role == QLatin1String("list item") && e.name.contains(QLatin1String("stray"));
        },
        5000, check, true);
    ASSERT_TRUE(strayRow) << "the stray picture is not listed";
    s.ui().click(strayRow.centre());
    ASSERT_TRUE(s.ui().popup(strayRow.centre(),
                             PopupMenu{{QStringLiteral("削除"), QStringLiteral("全て選択")}, {}},
                             QStringLiteral("削除")));
    ASSERT_TRUE(s.answer(QStringLiteral("ファイル削除"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(stray); }));
    for (int i = 1; i <= 31; ++i)
        EXPECT_TRUE(QFile::exists(s.folder() + stepName(i) + ".jpg")) << i;
    s.run().requestClose(s.run().waitForWindow(check).id);
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(check); }));

    // The list made anew from the pictures: 31 steps, the old list kept.
    ASSERT_TRUE(s.menu(QStringLiteral("ファイル"),
                            QStringLiteral("管理ファイル新規作成（画像ファイルから）")));
    EXPECT_TRUE(s.dialogText(QStringLiteral("管理ファイル作成")).contains(QStringLiteral("上書き")));
    ASSERT_TRUE(s.answer(QStringLiteral("管理ファイル作成"), Answer::Ok));
    EXPECT_TRUE(s.dialogText(QStringLiteral("管理ファイル作成")).contains(QStringLiteral("ファイル数=31")))
        << s.ui().dump().toStdString();
    ASSERT_TRUE(s.answer(QStringLiteral("管理ファイル作成"), Answer::Ok));
    // The list built from pictures names them with their extension.
    QStringList files;
    for (const QString& name : namesOf(range(1, 31)))
        files << name + QStringLiteral(".jpg");
    EXPECT_EQ(opListField(s.folder(), 1), files);
    const QStringList backups =
        QDir(s.folder()).entryList({QStringLiteral("OpList.txt.*.bak")}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(fromShiftJis(readBytes(s.folder() + backups.first())).contains(stepSentence(30)));
    EXPECT_TRUE(waitUntil([&] { return s.row(stepName(31)).rect.isValid(); }, 5000))
        << "the new list is not shown";
    EXPECT_EQ(s.ran(), QStringList({"mnuFileCheck", "mnuLoadImgFiles"}));
    EXPECT_TRUE(s.close());
}
