#include "edittesting.h"
#include "edit/stepmove.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Moving : EditBench {
    Moving() {
        addStep(name(1), QStringLiteral("一"));
        addStep(name(2), QStringLiteral("二"), "png", kCheckMark);
        addStep(name(3), QStringLiteral("三"));
        addStep(name(4), QStringLiteral("四"));
        host.txtNo = "4";
    }
    int move(int selected, MoveTarget target) {
        host.selectStep(selected);
        return moveSelectedStep(steps, ops, host, target);
    }
    QStringList order() const {
        QStringList out;
        for (int i = 1; i <= steps.count(); ++i)
            out << steps.field(i, FieldMessage);
        return out;
    }
};

} // namespace

TEST(StepMove, MiddleStepTravelsWithItsSentenceCheckMarkAndSelection) {
    Moving m;
    const QString line = m.steps.line(2);
    EXPECT_EQ(m.move(2, MoveTarget::Next), 3);
    EXPECT_EQ(m.order(), QStringList({"一", "三", "二", "四"}));
    EXPECT_EQ(m.steps.line(3), line); // image name, extension, mark and recorded number
    EXPECT_EQ(m.steps.field(3, FieldNumber), "3");
    EXPECT_EQ(m.host.selected, 3);
    EXPECT_EQ(m.steps.selectedStep(), 3);
    // Files keep their names; the saved list has the new order.
    EXPECT_TRUE(m.exists(m.name(2) + ".png"));
    const QString saved = m.savedList();
    EXPECT_LT(saved.indexOf(m.name(3)), saved.indexOf(m.name(2)));
    EXPECT_LT(saved.indexOf(m.name(2)), saved.indexOf(m.name(4)));

    EXPECT_EQ(m.move(3, MoveTarget::Previous), 2);
    EXPECT_EQ(m.order(), QStringList({"一", "二", "三", "四"}));
}

TEST(StepMove, FirstAndLastStepsStopAtTheEnds) {
    Moving m;
    EXPECT_EQ(m.move(1, MoveTarget::Previous), 0);
    EXPECT_EQ(m.move(1, MoveTarget::First), 0);
    EXPECT_EQ(m.move(4, MoveTarget::Next), 0);
    EXPECT_EQ(m.move(4, MoveTarget::Last), 0);
    EXPECT_FALSE(m.exists("OpList.txt")); // nothing moved, nothing saved
    EXPECT_EQ(m.order(), QStringList({"一", "二", "三", "四"}));

    EXPECT_EQ(m.move(1, MoveTarget::Next), 2);
    EXPECT_EQ(m.order(), QStringList({"二", "一", "三", "四"}));
    EXPECT_EQ(m.move(4, MoveTarget::Previous), 3);
    EXPECT_EQ(m.order(), QStringList({"二", "一", "四", "三"}));
}

TEST(StepMove, ToTheTopAndToTheEnd) {
    Moving m;
    EXPECT_EQ(m.move(3, MoveTarget::First), 1);
    EXPECT_EQ(m.order(), QStringList({"三", "一", "二", "四"}));
    EXPECT_EQ(m.move(2, MoveTarget::Last), 4);
    EXPECT_EQ(m.order(), QStringList({"三", "二", "四", "一"}));
    EXPECT_EQ(m.host.selected, 4);
    EXPECT_EQ(m.move(0, MoveTarget::Next), 0); // no selection
}
