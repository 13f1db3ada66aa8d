#include "store/oplist.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepsearch.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// Saves through the real writer, so that "saved" means OpList.txt on disk.
class SearchHost : public StepSearchHost {
public:
    explicit SearchHost(OperationList* ops = nullptr) : m_ops(ops) {}
    void selectLine(int k) override { selected << k; }
    bool saveList() override {
        ++saves;
        return m_ops ? m_ops->save() : saveResult;
    }
    void linesChanged() override { ++changes; }
    QList<int> selected;
    int saves = 0, changes = 0;
    bool saveResult = true;

private:
    OperationList* m_ops;
};

QString stepName(int n) {
    return QStringLiteral("20261206090503%1").arg(n, 2, 10, QLatin1Char('0'));
}

void fill(StepList& list, const QStringList& sentences) {
    for (int i = 0; i < sentences.size(); ++i)
        list.append(buildStepLine(i + 1, stepName(i + 1), sentences[i], "jpg", ""));
}

class OpListRecordingHost : public OpListHost {};

} // namespace

TEST(TextMatcher, LooseIgnoresCaseAndWidthStrictDoesNot) {
    const TextMatcher loose(QStringLiteral("ok"), false);
    EXPECT_TRUE(loose.contains(QStringLiteral("[OK](ボタン)")));
    EXPECT_TRUE(loose.contains(QStringLiteral("[ＯＫ](ボタン)"))); // full-width letters
    EXPECT_FALSE(loose.contains(QStringLiteral("[NG](ボタン)")));
    EXPECT_TRUE(TextMatcher(QStringLiteral("Ａ"), false).contains(QStringLiteral("xAx")));
    EXPECT_TRUE(TextMatcher(QStringLiteral("ガイド"), false).contains(QStringLiteral("ｶﾞｲﾄﾞ")));
    EXPECT_TRUE(TextMatcher(QStringLiteral("a b"), false).contains(QStringLiteral("A　B")));

    const TextMatcher strict(QStringLiteral("ok"), true);
    EXPECT_FALSE(strict.contains(QStringLiteral("[OK](ボタン)")));
    EXPECT_TRUE(strict.contains(QStringLiteral("look")));
    EXPECT_FALSE(TextMatcher(QStringLiteral("A"), true).contains(QStringLiteral("Ａ")));
    EXPECT_FALSE(TextMatcher(QString(), false).contains(QStringLiteral("any")));
}

TEST(TextMatcher, ReplacesEveryOccurrenceWhereverWidthsDiffer) {
    int count = 0;
    // The half-width voiced kana is two characters: the replacement takes both.
    EXPECT_EQ(TextMatcher(QStringLiteral("ガ"), false)
                  .replaced(QStringLiteral("ｶﾞｶﾞx"), QStringLiteral("ka"), &count),
              QStringLiteral("kakax"));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(TextMatcher(QStringLiteral("ok"), false)
                  .replaced(QStringLiteral("OK, ｏｋ and ok"), QStringLiteral("はい"), &count),
              QStringLiteral("はい, はい and はい"));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(TextMatcher(QStringLiteral("aa"), true).replaced("aaa", "b", &count), "ba");
    EXPECT_EQ(count, 1); // no overlapping matches
    EXPECT_EQ(TextMatcher(QStringLiteral("x"), true).replaced("abc", "y", &count), "abc");
    EXPECT_EQ(count, 0);
}

TEST(StepSearch, FindNextWalksTheHitsThenWrapsToTheTop) {
    StepList list;
    QStringList sentences(9, QStringLiteral("[閉じる](ボタン)を、クリックします。"));
    sentences[2] = QStringLiteral("[OK](ボタン)を、クリックします。");
    sentences[6] = QStringLiteral("[ok](ボタン)を、ダブルクリックします。");
    fill(list, sentences);
    SearchHost host;
    StepSearch search(list, host);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 2);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 6);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), -1);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 2);
    EXPECT_EQ(host.selected, (QList<int>{2, 6, 0, 2}));
    // Strict: only the step written in capitals.
    StepSearch strict(list, host);
    EXPECT_EQ(strict.findNext(QStringLiteral("OK"), true), 2);
    EXPECT_EQ(strict.findNext(QStringLiteral("OK"), true), -1);
}

TEST(StepSearch, AHitOnTheFirstLineIsFoundAndAnEmptyListSelectsNothing) {
    StepList list;
    fill(list, {QStringLiteral("OK を押す"), QStringLiteral("閉じる"), QStringLiteral("OK")});
    SearchHost host;
    StepSearch search(list, host);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 0);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 2);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), -1);
    EXPECT_EQ(search.findNext(QStringLiteral("ok"), false), 0);
    EXPECT_EQ(search.findAll(QStringLiteral("ok"), false), (QList<int>{0, 2}));
    // The whole line is searched: image names too.
    EXPECT_EQ(search.findAll(stepName(2), false), (QList<int>{1}));

    StepList empty;
    SearchHost none;
    StepSearch nothing(empty, none);
    EXPECT_EQ(nothing.findNext(QStringLiteral("ok"), false), -1);
    EXPECT_TRUE(none.selected.isEmpty());
}

TEST(StepSearch, ReplaceAllRewritesOnlyTheSentencesAndSavesTheFile) {
    ScratchHome home;
    FakeDialogs dialogs;
    OpListRecordingHost opHost;
    StepList list;
    OperationList ops(list, opHost, dialogs);
    // A sentence longer than the padding, one with a line break, a tick mark.
    const QString longSentence = QString(60, QChar(u'あ')) + QStringLiteral("OK");
    list.append(buildStepLine(1, stepName(1), QStringLiteral("[OK](ボタン)"), "jpg", kCheckMark));
    list.append(buildStepLine(2, stepName(2), QStringLiteral("閉じる"), "png", ""));
    list.append(buildStepLine(3, stepName(3), longSentence, "gif", ""));
    list.append(buildStepLine(4, stepName(4), QStringLiteral("行1\x04ok"), "bmp", ""));
    const QStringList before = {list.line(1), list.line(2), list.line(3), list.line(4)};
    SearchHost host(&ops);
    StepSearch search(list, host);

    const QList<int> changed =
        search.replaceAll(QStringLiteral("ok"), QStringLiteral("はい\tいいえ"), false);
    EXPECT_EQ(changed, (QList<int>{0, 2, 3}));
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(list.line(2), before[1]);
    for (int n : {1, 3, 4}) {
        const QStringList was = before[n - 1].split('\t'), now = list.line(n).split('\t');
        ASSERT_EQ(now.size(), 7) << n; // a TAB in the replacement never splits the line
        for (int k = 0; k < 7; ++k) {
            if (k == FieldMessage) continue;
            EXPECT_EQ(now[k], was[k]) << n << " field " << k;
        }
    }
    EXPECT_EQ(list.field(1, FieldMessage), QStringLiteral("[はい いいえ](ボタン)"));
    EXPECT_EQ(halfWidthLength(list.line(1).split('\t')[FieldMessage]), 100);
    // Over-long sentences get no padding, as when the line was built.
    EXPECT_EQ(list.line(3).split('\t')[FieldMessage],
              QString(60, QChar(u'あ')) + QStringLiteral("はい いいえ"));
    EXPECT_EQ(list.field(4, FieldMessage), QStringLiteral("行1\x04はい いいえ"));

    const QString file = fromShiftJis(readBytes(home.path("data/OpList.txt")));
    EXPECT_TRUE(file.contains(list.line(1) + "\r\n")) << file.toStdString();
    EXPECT_TRUE(file.contains(list.line(4) + "\r\n"));

    // Nothing to replace: nothing written.
    EXPECT_TRUE(search.replaceAll(QStringLiteral("存在しない"), "x", false).isEmpty());
    EXPECT_EQ(host.saves, 1);
}

TEST(StepSearch, ReplaceNextReplacesTheSelectedHitThenMovesOn) {
    StepList list;
    fill(list, {QStringLiteral("閉じる"), QStringLiteral("OK"), QStringLiteral("閉じる"),
                QStringLiteral("ok ok")});
    SearchHost host;
    host.saveResult = false;
    StepSearch search(list, host);
    // No hit yet: it only finds.
    EXPECT_EQ(search.replaceAndFindNext(QStringLiteral("ok"), QStringLiteral("はい"), false), -1);
    EXPECT_EQ(search.lastHit(), 1);
    EXPECT_EQ(host.saves, 0);
    list.setSelectedStep(2); // the main window followed the selection
    EXPECT_EQ(search.replaceAndFindNext(QStringLiteral("ok"), QStringLiteral("はい"), false), 1);
    EXPECT_EQ(list.field(2, FieldMessage), QStringLiteral("はい"));
    EXPECT_EQ(search.lastHit(), 3);
    EXPECT_EQ(host.saves, 1);
    EXPECT_TRUE(search.saveFailed());
    // The user selected another step meanwhile: the hit is left alone.
    list.setSelectedStep(1);
    EXPECT_EQ(search.replaceAndFindNext(QStringLiteral("ok"), QStringLiteral("はい"), false), -1);
    EXPECT_EQ(list.field(4, FieldMessage), QStringLiteral("ok ok"));
}

TEST(StepSearch, ReplacingKeepsPaddingOutOfTheMatch) {
    const QString line = buildStepLine(1, stepName(1), QStringLiteral("a"), "jpg", "");
    bool changed = true;
    // Blanks of the padding are not part of the sentence.
    EXPECT_EQ(lineWithSentenceReplaced(line, TextMatcher("  ", true), "x", &changed), line);
    EXPECT_FALSE(changed);
    EXPECT_EQ(lineWithSentenceReplaced("\tshort\tline", TextMatcher("s", true), "x"),
              "\tshort\tline");
}
