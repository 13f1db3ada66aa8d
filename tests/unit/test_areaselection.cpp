#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakekeystate.h"
#include "record/areaselection.h"
#include "record/inputtimer.h"
#include "record/keypoller.h"
#include "record/runmode.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

struct View : AreaOverlayView {
    QList<QRect> shown;
    int hides = 0;
    void showArea(const QRect& a) override { shown << a; }
    void hideArea() override { ++hides; }
};

struct TimerHost : InputTimerHost {
    bool foreground = true;
    int count = 3, selected = 2, deletes = 0, saves = 0;
    QStringList published;
    bool isMainWindowForeground() override { return foreground; }
    int stepCount() override { return count; }
    int selectedStep() override { return selected; }
    void selectStep(int n) override { selected = n; }
    void deleteSelectedStep() override { ++deletes; }
    void saveCurrentStepImage() override { ++saves; }
    void publishStatus(const QString& t) override { published << t; }
};

class Timer : public ::testing::Test {
protected:
    // The first poll only learns the key states.
    Timer() { timer.tick(); }
    void tap(int vk) {
        keys.press(vk);
        timer.tick();
        keys.release(vk);
        timer.tick();
    }
    FakeKeyState keys;
    FakeDesktop desktop;
    KeyPoller poller{keys, desktop};
    View view;
    AreaSelection area{&view};
    TimerHost host;
    RunMode runMode;
    InputTimer timer{poller, area, host, runMode};
};

} // namespace

TEST(AreaSelectionTest, DraggingUpAndLeftCoversTheAreaBetweenTheCorners) {
    View view;
    AreaSelection area(&view);
    area.setMode(true);
    area.command("start", {500, 400});
    EXPECT_EQ(area.state(), AreaSelection::Selecting);
    area.command("move", {300, 200});
    area.command("end", {300, 200});
    EXPECT_EQ(area.state(), AreaSelection::Selected);
    const QRect r = area.area();
    EXPECT_EQ(r, QRect(300, 200, 200, 200));
    ASSERT_FALSE(view.shown.isEmpty());
    EXPECT_EQ(view.shown.last(), r);
    // Back past the start corner: the start corner is the left edge again.
    area.command("init", {0, 0});
    area.command("start", {100, 100});
    area.command("move", {50, 50});
    area.command("move", {160, 130});
    EXPECT_EQ(area.area(), QRect(100, 100, 60, 30));
}

TEST(AreaSelectionTest, InitRemovesOnlyAFinishedSelectionAndTakingItEndsTheMode) {
    View view;
    AreaSelection area(&view);
    area.setMode(true);
    EXPECT_FALSE(area.takeSelection());
    area.command("end", {1, 1}); // an end without a start selects nothing
    EXPECT_EQ(area.state(), AreaSelection::None);
    area.command("start", {10, 10});
    area.command("move", {12, 12});
    area.command("init", {0, 0});
    EXPECT_EQ(area.state(), AreaSelection::Selecting);
    area.command("end", {12, 12});
    const auto taken = area.takeSelection();
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, QRect(10, 10, 2, 2));
    EXPECT_FALSE(area.mode());
    EXPECT_EQ(view.hides, 1);
}

TEST_F(Timer, ShortcutsOnlyWhileIdleAndInFront) {
    tap(37);
    EXPECT_EQ(host.selected, 1);
    tap(37);
    EXPECT_EQ(host.selected, 0); // before the first step: no selection
    host.selected = 3;
    tap(39);
    EXPECT_EQ(host.selected, 3); // at most the last
    tap(46);
    EXPECT_EQ(host.deletes, 1);
    keys.press(17);
    timer.tick();
    tap(46);
    EXPECT_EQ(host.deletes, 1); // Ctrl+Delete is not the delete command
    tap(83);
    EXPECT_EQ(host.saves, 1);
    keys.release(17);
    timer.tick();

    runMode.set(kRunGo);
    tap(46);
    runMode.set(kRunIdle);
    host.foreground = false;
    tap(46);
    EXPECT_EQ(host.deletes, 1);
}

TEST_F(Timer, ShiftDragSelectsAnAreaAndAPressRemovesIt) {
    tap(16); // mode off: nothing happens
    EXPECT_EQ(area.state(), AreaSelection::None);
    area.setMode(true);
    desktop.setPointer({500, 400});
    keys.press(16);
    timer.tick();
    EXPECT_EQ(area.state(), AreaSelection::Selecting);
    desktop.setPointer({300, 200});
    timer.tick();
    keys.release(16);
    timer.tick();
    EXPECT_EQ(area.state(), AreaSelection::Selected);
    EXPECT_EQ(area.area(), QRect(300, 200, 200, 200));
    EXPECT_TRUE(host.published.contains(QString()));
    keys.press(1);
    timer.tick();
    keys.release(1);
    timer.tick();
    EXPECT_EQ(area.state(), AreaSelection::None);
    EXPECT_EQ(view.hides, 1);
}
