#include "edittesting.h"
#include "edit/messageedit.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Editing : EditBench {
    Editing() {
        addStep(name(1), QStringLiteral("一行目") + QChar(4) + QStringLiteral("二行目"), "jpg",
                kCheckMark, false);
        addStep(name(2), QStringLiteral("次"), "png", QString(), false);
        addStep(name(3), QStringLiteral("最後"), "jpg", QString(), false);
        host.selectStep(1);
    }
    MessageEditMemory memory;
    MessageEditSession session{steps, ops, host, dialogs, memory};
};

} // namespace

TEST(MessageEdit, LineBreaksAreCodeFourInTheListAndTabsNeverSplitTheLine) {
    EXPECT_EQ(sentenceForEditor(QStringLiteral("a") + QChar(4) + "b"), "a\nb");
    EXPECT_EQ(sentenceForList("a\r\nb\nc\rd"),
              QStringLiteral("a") + QChar(4) + "b" + QChar(4) + "c" + QChar(4) + "d");
    EXPECT_EQ(sentenceForList(QStringLiteral("a\tb") + QChar(3)), "a b");
}

TEST(MessageEdit, StoringKeepsTheOtherFieldsAndMarksTheListEdited) {
    Editing e;
    EXPECT_EQ(e.session.load(), QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(e.session.step(), 1);
    e.session.store(QStringLiteral("新しい\n文"));
    EXPECT_EQ(e.steps.field(1, FieldMessage), QStringLiteral("新しい") + QChar(4) + "文");
    EXPECT_EQ(e.steps.field(1, FieldCheck), kCheckMark);
    EXPECT_EQ(e.steps.field(1, FieldImageName), e.name(1));
    EXPECT_EQ(e.steps.field(1, FieldExtension), "jpg");
    EXPECT_EQ(e.steps.line(1).count('\t'), 6);
    EXPECT_TRUE(e.ops.messageEdited);
    e.ops.save();
    EXPECT_FALSE(e.ops.messageEdited);
    e.session.store(QStringLiteral("新しい\n文")); // no change, no flag
    EXPECT_FALSE(e.ops.messageEdited);
}

TEST(MessageEdit, WalkingAsksOnceAfterAYesAndNoStaysWithoutStoring) {
    Editing e;
    e.session.load();
    QString shown;
    EXPECT_FALSE(e.session.move(-1, "x", &shown)); // first step
    EXPECT_TRUE(e.dialogs.questions.isEmpty());

    // Not changed: no question.
    EXPECT_TRUE(e.session.move(+1, e.session.load(), &shown));
    EXPECT_EQ(shown, QStringLiteral("次"));
    EXPECT_EQ(e.steps.selectedStep(), 2);
    EXPECT_TRUE(e.dialogs.questions.isEmpty());

    e.session.setDirty(true);
    e.dialogs.answer = false;
    EXPECT_FALSE(e.session.move(+1, QStringLiteral("変更"), &shown));
    ASSERT_EQ(e.dialogs.questions.size(), 1);
    EXPECT_EQ(e.dialogs.questions[0],
              QStringLiteral("データが変更されています。更新しますか？\r\n「はい」の場合、更新後、"
                             "次からは注意メッセージを表示しません。"));
    EXPECT_EQ(e.steps.field(2, FieldMessage), QStringLiteral("次"));
    EXPECT_EQ(e.session.step(), 2);

    e.dialogs.answer = true;
    EXPECT_TRUE(e.session.move(+1, QStringLiteral("変更"), &shown));
    EXPECT_EQ(e.steps.field(2, FieldMessage), QStringLiteral("変更"));
    EXPECT_EQ(shown, QStringLiteral("最後"));
    EXPECT_FALSE(e.session.isDirty());

    // After a Yes the question is not asked again in this run.
    e.session.setDirty(true);
    EXPECT_TRUE(e.session.move(-1, QStringLiteral("最後2"), &shown));
    EXPECT_EQ(e.dialogs.questions.size(), 2);
    EXPECT_EQ(e.steps.field(3, FieldMessage), QStringLiteral("最後2"));
    EXPECT_FALSE(e.session.move(+2, "x", &shown)); // past the last step
}

TEST(MessageEdit, OpensBelowThePointerOrAboveItAtTheScreenBottom) {
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(editorGeometry(QSize(511, 147), 300, QPoint(600, 400), screen),
              QRect(300, 420, 511, 147));
    EXPECT_EQ(editorGeometry(QSize(511, 147), 300, QPoint(600, 900), screen),
              QRect(300, 900 - 20 - 147, 511, 147));
    EXPECT_EQ(twipsToPixels(7665), 511);
    EXPECT_EQ(pixelsToTwips(511), 7665);
}
