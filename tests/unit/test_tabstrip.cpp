#include "platform/x11/tabstrip.h"

#include <gtest/gtest.h>

using klavoro::x11::tabAtPoint;

namespace {

// The labels of a GTK 3 settings dialog's tabs, as its notebook reports
// them (表示, エディター, ウィンドウ, ファイル, プラグイン): 32 pixels apart, the
// padding of two tabs.
const std::vector<QRect> kTabs = {{439, 286, 30, 30},
                                  {501, 286, 64, 30},
                                  {597, 286, 65, 30},
                                  {694, 286, 52, 30},
                                  {778, 286, 65, 30}};

} // namespace

TEST(TabStrip, APointOnATabsPaddingIsOnThatTab) {
    EXPECT_EQ(tabAtPoint(kTabs, {552, 301}), 1); // on the label
    EXPECT_EQ(tabAtPoint(kTabs, {573, 301}), 1); // 8 px right of エディター's label
    EXPECT_EQ(tabAtPoint(kTabs, {589, 301}), 2); // 8 px left of ウィンドウ's
    EXPECT_EQ(tabAtPoint(kTabs, {431, 301}), 0); // before the first tab's label
    EXPECT_EQ(tabAtPoint(kTabs, {855, 301}), 4); // after the last one's
    // Just below the labels, still in the strip.
    EXPECT_EQ(tabAtPoint(kTabs, {530, 322}), 1);
}

TEST(TabStrip, PointsBeyondThePaddingAreOnNoTab) {
    EXPECT_EQ(tabAtPoint(kTabs, {870, 301}), -1); // the empty strip after the last tab
    EXPECT_EQ(tabAtPoint(kTabs, {530, 340}), -1); // the page below
    EXPECT_EQ(tabAtPoint(kTabs, {530, 270}), -1); // above the strip
    // One tab alone: its padding is unknown, so only its label counts.
    const std::vector<QRect> one = {kTabs[1]};
    EXPECT_EQ(tabAtPoint(one, {552, 301}), 0);
    EXPECT_EQ(tabAtPoint(one, {573, 301}), -1);
    // Labels without a gap between them tell no padding either.
    const std::vector<QRect> touching = {{0, 0, 50, 20}, {50, 0, 50, 20}};
    EXPECT_EQ(tabAtPoint(touching, {120, 10}), -1);
}

TEST(TabStrip, HiddenTabsAndStackedTabsAreHandled) {
    // Pages whose tabs are not placed (empty extents) neither count nor
    // narrow the padding of the others.
    std::vector<QRect> some = kTabs;
    some[2] = QRect();
    EXPECT_EQ(tabAtPoint(some, {573, 301}), 1);
    EXPECT_EQ(tabAtPoint(some, {700, 301}), 3);
    EXPECT_EQ(tabAtPoint(some, {600, 301}), -1); // far from both neighbours
    // Tabs down the left side of the pages: the padding runs along y.
    const std::vector<QRect> stacked = {{10, 100, 60, 20}, {10, 140, 60, 20}, {10, 180, 60, 20}};
    EXPECT_EQ(tabAtPoint(stacked, {40, 126}), 0);
    EXPECT_EQ(tabAtPoint(stacked, {40, 134}), 1);
    EXPECT_EQ(tabAtPoint(stacked, {40, 210}), -1);
    EXPECT_EQ(tabAtPoint(stacked, {95, 150}), -1); // the page beside them
}
