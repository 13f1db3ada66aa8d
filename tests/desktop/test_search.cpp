#include "platform/fake/fakeinputmethod.h"
#include "platform/services.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepsearch.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/unit/testutil.h"
#include "ui/frmklavoro.h"
#include "ui/frmsearch.h"
#include "tests/desktop/testwindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The main window's side: selecting a line makes it the current step.
class ListHost : public StepSearchHost {
public:
    explicit ListHost(StepList& list) : m_list(list) {}
    void selectLine(int k) override {
        selected << k;
        m_list.setSelectedStep(k + 1);
    }
    bool saveList() override {
        ++saves;
        return true;
    }
    QList<int> selected;
    int saves = 0;

private:
    StepList& m_list;
};

// Nine steps; "OK" in steps 3 and 7, full-width "Ａ" in step 5.
struct SearchFixture {
    StepList list;
    ListHost host{list};
    SearchFixture() {
        conf() = Settings();
        for (int n = 1; n <= 9; ++n) {
            QString sentence = QStringLiteral("[閉じる](ボタン)を、クリックします。");
            if (n == 3 || n == 7) sentence = QStringLiteral("[OK](ボタン)を、クリックします。");
            if (n == 5) sentence = QStringLiteral("[Ａ列](見出し)を、クリックします。");
            list.append(
                buildStepLine(n, QStringLiteral("20261206090503%1").arg(n, 2, 10, QLatin1Char('0')),
                              sentence, "jpg", ""));
        }
    }
    ~SearchFixture() { conf() = Settings(); }
};

void typeSearchText(frmSearch& w, const QString& text) {
    w.txtStrSearch->clear();
    QTest::keyClicks(w.txtStrSearch, text);
}

} // namespace

TEST(SearchWindow, NextWalksTheHitsAndEmptyTextDisablesTheSearch) {
    SearchFixture f;
    frmSearch w(f.list, f.host, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("検索"));
    EXPECT_FALSE(w.cmdSearch[0]->isEnabled());
    EXPECT_FALSE(w.cmdSearch[1]->isEnabled());
    typeSearchText(w, QStringLiteral("ok"));
    EXPECT_TRUE(w.cmdSearch[0]->isEnabled());
    EXPECT_TRUE(w.cmdSearch[1]->isEnabled());
    w.cmdSearch[0]->click();
    EXPECT_EQ(f.list.selectedStep(), 3);
    QTest::keyClick(w.txtStrSearch, Qt::Key_Return); // Enter searches as 次を検索
    EXPECT_EQ(f.list.selectedStep(), 7);
    w.cmdSearch[0]->click();
    EXPECT_EQ(f.host.selected, (QList<int>{2, 6, 0}));
    EXPECT_FALSE(w.txtFound->isVisible());
    w.txtStrSearch->clear();
    EXPECT_FALSE(w.cmdSearch[0]->isEnabled());
    EXPECT_FALSE(w.cmdSearch[1]->isEnabled());
    QTest::keyClick(w.txtStrSearch, Qt::Key_Return);
    EXPECT_EQ(f.host.selected.size(), 3); // nothing to search for
}

TEST(SearchWindow, FindAllListsTheStepsAndStrictComparisonTellsCaseAndWidthApart) {
    SearchFixture f;
    frmSearch w(f.list, f.host, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
    const int heightBefore = w.height();
    typeSearchText(w, QStringLiteral("ok"));
    w.cmdSearch[1]->click();
    EXPECT_TRUE(w.txtFound->isVisible());
    EXPECT_EQ(w.lblCnt->text(), QStringLiteral("2件"));
    const QStringList lines = w.txtFound->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("3\t2026120609050303\t[OK]")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("7\t")));
    EXPECT_GT(w.height(), heightBefore);    // room for the results
    EXPECT_TRUE(f.host.selected.isEmpty()); // listing moves nothing

    w.chkCompare->setChecked(true);
    EXPECT_EQ(w.chkCompare->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
    w.cmdSearch[1]->click();
    EXPECT_EQ(w.lblCnt->text(), QStringLiteral("0件"));
    EXPECT_EQ(w.txtFound->toPlainText(), frmSearch::kNoMatch);
    typeSearchText(w, QStringLiteral("A"));
    w.cmdSearch[1]->click();
    EXPECT_EQ(w.txtFound->toPlainText(), frmSearch::kNoMatch);
    w.chkCompare->setChecked(false);
    EXPECT_EQ(w.chkCompare->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0xFF));
    w.cmdSearch[1]->click();
    EXPECT_EQ(w.lblCnt->text(), QStringLiteral("1件"));
    EXPECT_TRUE(w.txtFound->toPlainText().startsWith(QStringLiteral("5\t")));
}

TEST(SearchWindow, ReplacePanelAndReplaceAll) {
    SearchFixture f;
    const QString untouched = f.list.line(1);
    const QString before3 = f.list.line(3);
    frmSearch w(f.list, f.host, nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
    typeSearchText(w, QStringLiteral("ok"));
    // The replace buttons wait for the panel that holds the replacement.
    EXPECT_FALSE(w.cmdSearch[3]->isEnabled());
    const int heightBefore = w.height();
    w.chkReplace->setChecked(true);
    EXPECT_TRUE(w.frReplace->isVisible());
    EXPECT_GT(w.height(), heightBefore);
    ASSERT_TRUE(w.cmdSearch[3]->isEnabled());
    w.txtReplace->insert(QStringLiteral("はい"));
    w.cmdSearch[3]->click();
    EXPECT_EQ(f.host.saves, 1);
    EXPECT_EQ(w.lblCnt->text(), QStringLiteral("2件置換"));
    EXPECT_EQ(f.list.field(3, FieldMessage), QStringLiteral("[はい](ボタン)を、クリックします。"));
    EXPECT_EQ(f.list.field(7, FieldMessage), QStringLiteral("[はい](ボタン)を、クリックします。"));
    EXPECT_EQ(f.list.line(1), untouched);
    const QStringList was = before3.split('\t'), now = f.list.line(3).split('\t');
    ASSERT_EQ(now.size(), 7);
    for (int k : {0, 1, 2, 3, 5, 6})
        EXPECT_EQ(now[k], was[k]);
    // Nothing left to replace: the replace buttons wait for a new text.
    w.cmdSearch[3]->click();
    EXPECT_EQ(f.host.saves, 1);
    EXPECT_FALSE(w.cmdSearch[2]->isEnabled());
    const int withPanel = w.height();
    w.chkReplace->setChecked(false);
    EXPECT_FALSE(w.frReplace->isVisible());
    // 3330 against 2160 twips.
    EXPECT_EQ(withPanel - w.height(), 78);
}

TEST(SearchWindow, InputMethodStateIsRestoredAtOpenAndStoredAtClose) {
    SearchFixture f;
    FakeInputMethod im;
    conf().editMode = 1;
    {
        frmSearch w(f.list, f.host, &im);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
        // Opened as `edit mode` says, after the focus is in the search text.
        EXPECT_TRUE(waitUntil([&] { return im.setCalls > 0; }, 2000));
        EXPECT_TRUE(im.open);
        EXPECT_TRUE(waitUntil([&] { return w.lblIME->text() == QStringLiteral("日本語"); }, 2000));
        QTest::mouseClick(w.lblIME, Qt::LeftButton);
        EXPECT_FALSE(im.open);
        EXPECT_EQ(w.lblIME->text(), QStringLiteral("English"));
        im.open = true; // the user switches it on with the keyboard
        EXPECT_TRUE(waitUntil([&] { return w.lblIME->text() == QStringLiteral("日本語"); }, 2000));
        conf().editMode = 0;
        w.close();
    }
    EXPECT_EQ(conf().editMode, 1);

    // No framework: "English", the click does nothing, the remembered state stays.
    FakeInputMethod none;
    none.available = false;
    frmSearch w(f.list, f.host, &none);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
    pause(50);
    EXPECT_EQ(w.lblIME->text(), QStringLiteral("English"));
    QTest::mouseClick(w.lblIME, Qt::LeftButton);
    EXPECT_EQ(w.lblIME->text(), QStringLiteral("English"));
    EXPECT_EQ(none.setCalls, 0);
    w.close();
    EXPECT_EQ(conf().editMode, 1);
}

TEST(SearchWindow, ControlsCarryTheirCaptionsAndTheLabelJumpIsOff) {
    SearchFixture f;
    frmSearch w(f.list, f.host, nullptr);
    EXPECT_EQ(w.lblStrSearch->text(), QStringLiteral("検索する文字列"));
    EXPECT_EQ(w.cmdSearch[0]->text(), QStringLiteral("次を検索"));
    EXPECT_EQ(w.cmdSearch[1]->toolTip(), QStringLiteral("先頭から検索：見つかった全ての項目"));
    EXPECT_EQ(w.cmdSearch[2]->text(), QStringLiteral("置換して次"));
    EXPECT_EQ(w.cmdSearch[3]->text(), QStringLiteral("全て置換"));
    EXPECT_EQ(w.chkReplace->toolTip(), QStringLiteral("指定文字列に置換します"));
    EXPECT_EQ(w.lblReplace->text(), QStringLiteral("置換後の文字列"));
    EXPECT_EQ(w.chkCompare->toolTip(),
              QStringLiteral("オンの場合：大/小文字、全/半角を区別します"));
    EXPECT_EQ(w.frLblJump->title(), QStringLiteral("Jump to Label"));
    EXPECT_EQ(w.cmdLblJump[1]->text(), QStringLiteral("ラベル単位にジャンプ（下方）"));
    EXPECT_FALSE(w.cmdLblJump[0]->isEnabled());
    EXPECT_FALSE(w.cmdLblJump[1]->isEnabled());
    EXPECT_EQ(w.lblIME->toolTip(), QStringLiteral("クリックで 日本語⇔English 切り替え"));
}

TEST(SearchCommands, OneWindowBesideTheMainWindowThatStoresEditModeWhenTheProgramCloses) {
    test::ScratchHome home;
    FakeInputMethod im;
    PlatformServices platform;
    platform.inputMethod = &im;
    TestWindow tw({.platform = &platform});
    frmKlavoro& w = tw.window();
    for (int n = 1; n <= 8; ++n)
        w.steps().append(buildStepLine(
            n, QStringLiteral("20261208090000%1").arg(n, 2, 10, QChar('0')),
            n == 3 || n == 7 ? QStringLiteral("[OK](ボタン)") : QStringLiteral("[閉じる](ボタン)"),
            "jpg", ""));
    w.setGeometry(40, 60, 600, 400);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, 15000));
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuSearch")));
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListSearch")));
    const QList<frmSearch*> windows = w.findChildren<frmSearch*>();
    ASSERT_EQ(windows.size(), 1);
    frmSearch& search = *windows[0];
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&search, 15000));
    EXPECT_TRUE(
        waitUntil([&] { return !search.frameGeometry().intersects(w.frameGeometry()); }, 2000))
        << "search " << search.frameGeometry().x() << "," << search.frameGeometry().y() << " "
        << search.frameGeometry().width() << " main " << w.frameGeometry().x() << ","
        << w.frameGeometry().y() << " " << w.frameGeometry().width();
    EXPECT_LE(std::abs(search.frameGeometry().left() - w.frameGeometry().right() - 1), 1);

    typeSearchText(search, QStringLiteral("ok"));
    search.cmdSearch[0]->click();
    EXPECT_EQ(w.selectedStepNumber(), 3);
    search.cmdSearch[0]->click();
    EXPECT_EQ(w.selectedStepNumber(), 7);
    EXPECT_EQ(w.txtCtrl->text(), QStringLiteral("[OK](ボタン)"));
    search.cmdSearch[0]->click();
    EXPECT_EQ(w.selectedStepNumber(), 1);

    // Replacing rewrites the sentence the main window shows.
    search.cmdSearch[0]->click();
    search.chkReplace->setChecked(true);
    search.txtReplace->setText(QStringLiteral("はい"));
    search.cmdSearch[2]->click();
    EXPECT_EQ(w.steps().field(3, FieldMessage), QStringLiteral("[はい](ボタン)"));
    EXPECT_EQ(w.selectedStepNumber(), 7);
    EXPECT_EQ(w.txtCtrl->text(), QStringLiteral("[OK](ボタン)"));
    search.cmdSearch[3]->click();
    EXPECT_EQ(w.txtCtrl->text(), QStringLiteral("[はい](ボタン)"));
    EXPECT_TRUE(fromShiftJis(test::readBytes(home.path("data/OpList.txt")))
                    .contains(QStringLiteral("[はい](ボタン)")));

    im.open = true; // the user turned Japanese input on in the search text
    conf().editMode = 0;
    w.close();
    EXPECT_EQ(conf().editMode, 1);
    EXPECT_TRUE(w.findChildren<frmSearch*>().isEmpty() ||
                !w.findChildren<frmSearch*>().first()->isVisible());
}
