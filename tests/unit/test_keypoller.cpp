#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakekeystate.h"
#include "record/keypoller.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {
struct PollerTest : ::testing::Test {
    FakeKeyState keys;
    FakeDesktop desktop;
    quint32 now = 5000;
    KeyPoller poller{keys, desktop, [this] { return now; }};
    InputMessage rec;

    QString poll(bool updateOnly = false) { return poller.poll(updateOnly, rec); }
};
} // namespace

TEST_F(PollerTest, FirstPollReportsNoEventEvenForHeldKeys) {
    keys.press(65);
    EXPECT_EQ(poll(), "MV");
    EXPECT_EQ(poller.row(65).transition, -1);
    EXPECT_EQ(poller.row(66).transition, 1);
    EXPECT_EQ(poller.row(10).transition, 0); // unnamed codes are not polled
    EXPECT_EQ(poll(), "MV");
    EXPECT_EQ(rec.wParam, 0u);
}

TEST_F(PollerTest, FillsRecordWithPointerTimeAndCode) {
    poll();
    desktop.setPointer({321, 123});
    now = 7777;
    keys.press(13);
    rec.lParam = 99;
    EXPECT_EQ(poll(), "KEY_DOWN");
    EXPECT_EQ(rec.wParam, 13u);
    EXPECT_EQ(rec.lParam, 0u);
    EXPECT_EQ(rec.time, 7777u);
    EXPECT_EQ(rec.pt, QPoint(321, 123));
}

TEST_F(PollerTest, HeldButtonGivesOneDownAndOneUp) {
    poll();
    keys.press(1);
    EXPECT_EQ(poll(), "LEFT_DOWN");
    EXPECT_EQ(rec.wParam, 1u);
    EXPECT_EQ(poll(), "MV");
    keys.release(1);
    EXPECT_EQ(poll(), "LEFT_UP");
    keys.press(2);
    EXPECT_EQ(poll(), "RIGHT_DOWN");
    keys.release(2);
    keys.press(4);
    EXPECT_EQ(poll(), "MIDDLE_DOWN"); // 4 is the highest change
    keys.release(4);
    EXPECT_EQ(poll(), "MIDDLE_UP");
}

TEST_F(PollerTest, HighestChangedKeyWins) {
    poll();
    keys.press(65);
    keys.press(66);
    EXPECT_EQ(poll(), "KEY_DOWN");
    EXPECT_EQ(rec.wParam, 66u);
    keys.release(65);
    keys.press(1);
    EXPECT_EQ(poll(), "KEY_UP"); // 65 released after 1 pressed in ascending order
    EXPECT_EQ(rec.wParam, 65u);
}

TEST_F(PollerTest, TapBetweenPollsIsSeen) {
    poll();
    keys.tap(70);
    EXPECT_EQ(poll(), "KEY_DOWN");
    EXPECT_EQ(poll(), "KEY_UP");
}

TEST_F(PollerTest, HalfWidthKeyTapOverridesOtherChanges) {
    poll();
    keys.tap(243);
    keys.press(90);
    EXPECT_EQ(poll(), "KEY_DOWN");
    EXPECT_EQ(rec.wParam, 243u);
    keys.tap(244);
    EXPECT_EQ(poll(), "KEY_DOWN");
    EXPECT_EQ(rec.wParam, 244u);
    EXPECT_EQ(poll(), "KEY_UP"); // 244 now reads up again; the flag lasts one poll
    EXPECT_EQ(rec.wParam, 244u);
}

TEST_F(PollerTest, UpdateOnlyKeepsTableButNamesNothing) {
    poll();
    keys.press(65);
    EXPECT_EQ(poll(true), QString());
    EXPECT_EQ(poller.row(65).transition, -2);
    EXPECT_EQ(poll(), "MV"); // the press was consumed by the update-only poll
}

TEST_F(PollerTest, TickSamplesModifiers) {
    keys.press(17);
    keys.press(16);
    poller.tick(rec);
    EXPECT_TRUE(poller.modifiers().ctrl);
    EXPECT_TRUE(poller.modifiers().shift);
    EXPECT_FALSE(poller.modifiers().alt);
    keys.release(17);
    keys.release(16);
    keys.tap(18); // pressed and released between two ticks still counts
    poller.tick(rec);
    EXPECT_FALSE(poller.modifiers().ctrl);
    EXPECT_TRUE(poller.modifiers().alt);
}

TEST_F(PollerTest, LeftButtonStampOnlyFromIsKeyDown) {
    keys.press(1);
    poll();
    poll();
    EXPECT_TRUE(poller.lastLeftStamp().isEmpty());
    EXPECT_EQ(poller.isKeyDown(2), 0);
    EXPECT_TRUE(poller.lastLeftStamp().isEmpty());
    EXPECT_EQ(poller.isKeyDown(1), 1);
    EXPECT_EQ(poller.lastLeftStamp().size(), 16);
    poller.clearLastLeftStamp();
    keys.release(1);
    EXPECT_EQ(poller.isKeyDown(1), 0);
    EXPECT_TRUE(poller.lastLeftStamp().isEmpty());
}
