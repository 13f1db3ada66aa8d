// The search window from the edit menu, Ctrl+F and the list's menu: find,
// find all, replace all.
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kWindow = QStringLiteral("検索");

// The search text box (the window's first text box), filled with `text`.
void searchFor(ProgramSession& s, const QString& text) {
    const UiElement box =
        s.ui().find(QStringLiteral("text"), QStringLiteral("検索する文字列"), 8000, kWindow);
    ASSERT_TRUE(box) << "no search window";
    s.ui().click(box.centre());
    s.ui().key(QStringLiteral("Ctrl+a"));
    s.ui().type(text);
}

void closeSearch(ProgramSession& s) {
    s.run().requestClose(s.run().waitForWindow(kWindow).id);
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(kWindow); }));
}

} // namespace

TEST(Search, FindAndReplaceFromTheMenuTheKeyAndTheListMenu) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.menu(QStringLiteral("編集"), QStringLiteral("検索 - リスト内文言検索")));
    searchFor(s, QStringLiteral("button 17")); // loose: any letter case
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("次を検索"), kWindow));
    EXPECT_TRUE(waitUntil([&] { return s.row(17).selected; })) << "step 17 not selected";
    closeSearch(s);

    ASSERT_TRUE(s.select(1));
    s.ui().key(QStringLiteral("Ctrl+f"));
    searchFor(s, QStringLiteral("Button 2"));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("全て検索"), kWindow));
    EXPECT_TRUE(s.ui().find(QStringLiteral("label"), QStringLiteral("10件"), 5000, kWindow))
        << "steps 20 to 29 are the hits";
    ASSERT_TRUE(s.ui().click(QStringLiteral("check box"), QStringLiteral("置換"), kWindow));
    const UiElement replace =
        s.ui().find(QStringLiteral("text"), QStringLiteral("置換後の文字列"), 5000, kWindow);
    ASSERT_TRUE(replace) << "no replace box";
    s.ui().click(replace.centre());
    s.ui().type(QStringLiteral("Knopf 2"));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("全て置換"), kWindow));
    const auto sentenceOf = [&](int step) { return opListField(s.folder(), 4).value(step - 1); };
    EXPECT_TRUE(waitUntil([&] {
        return sentenceOf(20) == QStringLiteral("[Knopf 20](ボタン)を、クリックします。");
    }))
        << sentenceOf(20).toStdString();
    EXPECT_EQ(sentenceOf(29), QStringLiteral("[Knopf 29](ボタン)を、クリックします。"));
    EXPECT_EQ(sentenceOf(2), stepSentence(2));
    EXPECT_EQ(sentenceOf(12), stepSentence(12));
    EXPECT_EQ(sentenceOf(30), stepSentence(30));
    closeSearch(s);

    ASSERT_TRUE(s.select(5));
    ASSERT_TRUE(s.listMenu(QStringLiteral("検索 - リスト内文言検索")));
    EXPECT_TRUE(s.hasWindow(kWindow, 5000));
    closeSearch(s);
    EXPECT_EQ(s.ran(), QStringList({"mnuSearch", "mnuSearch", "mnuListSearch"}));
    EXPECT_TRUE(s.close());
}
