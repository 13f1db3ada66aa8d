#include "record/doubleclick.h"
#include "record/eventkind.h"
#include "record/inputmessage.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(EventKind, MouseCodesClientAndNonClient) {
    const struct {
        quint32 client;
        QString name;
    } table[] = {{512, "MV"},           {513, "LEFT_DOWN"},   {514, "LEFT_UP"},
                 {515, "LEFT_DBLCLK"},  {516, "RIGHT_DOWN"},  {517, "RIGHT_UP"},
                 {518, "RIGHT_DBLCLK"}, {519, "MIDDLE_DOWN"}, {520, "MIDDLE_UP"},
                 {521, "MIDDLE_DBLCLK"}};
    for (const auto& row : table) {
        EXPECT_EQ(eventKindOf(kHookMouse, row.client, 0), row.name) << row.client;
        EXPECT_EQ(eventKindOf(kHookMouse, row.client - 352, 0), row.name) << row.client - 352;
    }
}

TEST(EventKind, UnknownCodesGiveEmptyName) {
    EXPECT_EQ(eventKindOf(kHookMouse, 522, 0), QString()); // the wheel inside a mouse message
    EXPECT_EQ(eventKindOf(kHookMouse, 159, 0), QString());
    EXPECT_EQ(eventKindOf(kHookMouse, 170, 0), QString());
    EXPECT_EQ(eventKindOf(kHookMouse, 511, 0), QString());
    EXPECT_EQ(eventKindOf(1127, 513, 0), QString());
    EXPECT_EQ(eventKindOf(0, 0, 0), QString());
}

TEST(EventKind, KeyMessagesFollowBit31) {
    EXPECT_EQ(eventKindOf(kHookKey, 65, 0xC0000001u), "KEY_UP");
    EXPECT_EQ(eventKindOf(kHookKey, 65, 0x00000001u), "KEY_DOWN");
    EXPECT_EQ(eventKindOf(kHookKey, 65, 0x80000000u), "KEY_UP");
    EXPECT_EQ(eventKindOf(kHookKey, 65, 0x40000001u), "KEY_DOWN"); // a repeat is still a press
}

TEST(EventKind, WheelAndActivate) {
    EXPECT_EQ(eventKindOf(kHookWheel, 0, 0), "MOUSE_WHEEL");
    EXPECT_EQ(eventKindOf(kHookActivate, 0x400001, 0), "ACTIVATE");
}

TEST(DoubleClick, SecondPressInTimeAndPlaceIsDouble) {
    DoubleClickTracker t;
    EXPECT_FALSE(t.press(1, 1000, {100, 100}));
    EXPECT_TRUE(t.press(1, 1500, {102, 98}));
    // The press after a double click starts a new pair.
    EXPECT_FALSE(t.press(1, 1600, {102, 98}));
    EXPECT_TRUE(t.press(1, 1700, {102, 98}));
}

TEST(DoubleClick, TooLateTooFarOrOtherButtonIsSingle) {
    DoubleClickTracker t;
    EXPECT_FALSE(t.press(1, 1000, {100, 100}));
    EXPECT_FALSE(t.press(1, 1501, {100, 100})); // 501 ms later
    EXPECT_FALSE(t.press(1, 1600, {103, 100})); // 3 px away from the previous press
    EXPECT_FALSE(t.press(3, 1700, {103, 100})); // another button
    EXPECT_FALSE(t.press(1, 1800, {103, 100})); // the left press before was broken by it
    EXPECT_TRUE(t.press(1, 1900, {103, 102}));
}

TEST(DoubleClick, ClockWrapAndReset) {
    DoubleClickTracker t;
    EXPECT_FALSE(t.press(1, 0xFFFFFF00u, {5, 5}));
    EXPECT_TRUE(t.press(1, 0x00000010u, {5, 5})); // 272 ms later across the wrap
    EXPECT_FALSE(t.press(1, 0x100, {5, 5}));
    t.reset();
    EXPECT_FALSE(t.press(1, 0x110, {5, 5}));
}
