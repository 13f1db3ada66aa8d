// The settings dialog from the button, the tools menu and the list's menu,
// the phrase-format dialog, and Conf.txt edited in the user's editor.
#include "platform/x11/x11desktop.h"
#include "store/sjis.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kDialog = QStringLiteral("設定");

// On the page "その他" of the open settings dialog: the check box's state.
UiElement startBox(ProgramSession& s, const QString& caption) {
    s.ui().click(QStringLiteral("push button"), QStringLiteral("その他"), kDialog);
    return s.ui().find(QStringLiteral("check box"), caption, 5000, kDialog);
}

} // namespace

TEST(Settings, TheDialogFromTheButtonAndBothMenus) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("設定"), s.title()));
    UiElement box = startBox(s, QStringLiteral("最小化"));
    ASSERT_TRUE(box) << "no settings dialog";
    EXPECT_FALSE(box.checked);
    s.ui().click(box.centre());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Ok"), kDialog));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(kDialog); }));

    // Cancel stores nothing: the next opening shows the box as it was.
    ASSERT_TRUE(s.menu(QStringLiteral("ツール"), QStringLiteral("設定")));
    box = startBox(s, QStringLiteral("トレイ収納"));
    ASSERT_TRUE(box);
    s.ui().click(box.centre());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Cancel"), kDialog));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(kDialog); }));

    ASSERT_TRUE(s.select(4));
    ASSERT_TRUE(s.listMenu(QStringLiteral("設定")));
    box = startBox(s, QStringLiteral("トレイ収納"));
    ASSERT_TRUE(box);
    EXPECT_FALSE(box.checked) << "Cancel stored the box";
    EXPECT_TRUE(s.ui().find(QStringLiteral("check box"), QStringLiteral("最小化"), 2000, kDialog)
                    .checked)
        << "Ok did not store the box";
    s.ui().click(box.centre());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Ok"), kDialog));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(kDialog); }));
    EXPECT_EQ(s.ran(), QStringList({"cmdSetting", "mnuSetting", "mnuListSetting"}));
    EXPECT_TRUE(s.close());
    // The two start boxes exclude each other.
    EXPECT_EQ(confValue(s.home(), QStringLiteral("minimize")), QStringLiteral("0"));
    EXPECT_EQ(confValue(s.home(), QStringLiteral("tasktray")), QStringLiteral("1"));
}

TEST(Settings, ThePhraseFormatDialog) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString dialog = QStringLiteral("「操作説明」フォーマット設定");
    ASSERT_TRUE(s.menu(QStringLiteral("ツール"), dialog));
    // The first part check box of the sentence preview, switched.
    const UiElement part = s.ui().find(
        [](const UiElement& e) { return e.role == QLatin1String("check box") && e.enabled; }, 5000,
        dialog);
    ASSERT_TRUE(part) << "no phrase-format dialog";
    const QString partName = part.name;
    s.ui().click(part.centre());
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("Ok"), dialog));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(dialog); }));
    ASSERT_TRUE(s.menu(QStringLiteral("ツール"), dialog));
    const UiElement again =
        s.ui().find(QStringLiteral("check box"), partName, 5000, dialog);
    EXPECT_NE(again.checked, part.checked) << "Ok did not keep " << partName.toStdString();
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("キャンセル"), dialog));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(dialog); }));
    EXPECT_EQ(s.ran(), QStringList({"mnuFormatSetting", "mnuFormatSetting"}));
    EXPECT_TRUE(s.close());
}

TEST(Settings, ConfTxtEditedInTheEditorIsAppliedAndKept) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString conf = s.home() + QStringLiteral("/Conf.txt");
    ASSERT_TRUE(s.menu(QStringLiteral("ツール"), QStringLiteral("設定ファイル(Conf.txt)を編集＆適用")));
    // The program saves its settings first and opens the file in the editor.
    x11::X11Desktop desktop;
    QList<WindowId> editor;
    ASSERT_TRUE(waitUntil(
        [&] { return !(editor = desktop.findTopLevelWindows(QStringLiteral("Conf.txt"))).isEmpty(); },
        8000))
        << "no editor opened";
    EXPECT_EQ(s.opened().value(s.opened().size() - 1), conf);
    // The user edits once the editor is in front, where the program put it.
    ASSERT_TRUE(waitUntil([&] { return s.ui().keptAbove(editor.first()); }, 5000))
        << "the program did not take the editor to the front";
    QString text = fromShiftJis(readBytes(conf));
    ASSERT_TRUE(text.contains(QStringLiteral("play span = 0.2"))) << text.toStdString();
    text.replace(QStringLiteral("play span = 0.2"), QStringLiteral("play span = 0.7"));
    writeBytes(conf, toShiftJis(text));
    s.ui().endClient(editor.first());
    // Back from the editor the file is read again, so the close keeps it.
    EXPECT_TRUE(waitUntil([&] { return !s.run().waitForMainWindow(100).iconic; }, 8000))
        << s.dialogText(QStringLiteral("編集不可"), 100).toStdString();
    pause(500);
    EXPECT_EQ(s.ran(), QStringList({"mnuConfOpen"}));
    EXPECT_TRUE(s.close());
    EXPECT_EQ(confValue(s.home(), QStringLiteral("play span")), QStringLiteral("0.7"));
}
