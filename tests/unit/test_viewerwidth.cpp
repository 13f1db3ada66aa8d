#include "export/striplayout.h"
#include "store/settings.h"
#include "store/viewerwidth.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(ViewerWidth, InvertedSliderGivesTheLargestWidthAtItsTop) {
    const WidthSliderRange r = widthSliderRange(Settings());
    EXPECT_EQ(r.minimum, 300);
    EXPECT_EQ(r.maximum, 2000);
    EXPECT_EQ(r.smallChange, 10);
    EXPECT_EQ(r.largeChange, 100);
    EXPECT_EQ(displayWidthForValue(r, r.minimum), 2000);
    EXPECT_EQ(displayWidthForValue(r, r.maximum), 300);
    EXPECT_EQ(displayWidthForValue(r, 1000), 1300);
    EXPECT_EQ(displayWidthForValue(r, 2500), 300); // never below the smallest width
    for (int w = 300; w <= 2000; w += 17)
        EXPECT_EQ(displayWidthForValue(r, sliderValueForWidth(r, w)), w);
    EXPECT_EQ(sliderValueForWidth(r, 5000), 300);
    EXPECT_EQ(sliderValueForWidth(r, 10), 2000);
}

TEST(ViewerWidth, HandEditedRangesStayUsable) {
    Settings s;
    s.dispImgMinWidth = 300; // the two ends written the other way round
    s.dispImgMaxWidth = 2000;
    s.dispSmallChange = 0;
    s.dispLargeChange = -5;
    WidthSliderRange r = widthSliderRange(s);
    EXPECT_EQ(r.minimum, 300);
    EXPECT_EQ(r.maximum, 2000);
    EXPECT_EQ(r.smallChange, 1);
    EXPECT_EQ(r.largeChange, 1);
    s.dispImgMinWidth = s.dispImgMaxWidth = 0;
    r = widthSliderRange(s);
    EXPECT_GE(r.minimum, 1);
    EXPECT_GE(r.maximum, r.minimum);
}

TEST(ViewerWidth, FitIsClampedAndSizesKeepTheirAspect) {
    const WidthSliderRange r;
    EXPECT_EQ(fitWidth(r, 250), 300);
    EXPECT_EQ(fitWidth(r, 1234), 1234);
    EXPECT_EQ(fitWidth(r, 2600), 2000);
    EXPECT_EQ(displaySize(1000, {1920, 1080}), QSize(1000, 563)); // 562.5
    EXPECT_EQ(displaySize(300, {600, 800}), QSize(300, 400));
    EXPECT_EQ(displaySize(10, {4000, 1}), QSize(10, 1));
    EXPECT_TRUE(displaySize(300, {}).isEmpty());
}

TEST(ViewerWidth, ZoomIndicatorAtEnlargedAndReducedSizes) {
    ZoomIndicator z = zoomIndicator(1000, 1000);
    EXPECT_EQ(z.state, ZoomState::Actual);
    EXPECT_EQ(z.percentText, QStringLiteral("100%"));
    EXPECT_EQ(z.background, QColor(Qt::white));
    EXPECT_TRUE(z.stateText.isEmpty());
    // The rounded percentage decides; halves go to even.
    EXPECT_EQ(zoomIndicator(1005, 1000).state, ZoomState::Actual);
    z = zoomIndicator(1015, 1000);
    EXPECT_EQ(z.percent, 102);
    EXPECT_EQ(z.state, ZoomState::Enlarged);
    EXPECT_EQ(z.stateText, QStringLiteral("拡大表示中"));
    EXPECT_EQ(z.background, QColor(Qt::cyan));
    z = zoomIndicator(300, 1920);
    EXPECT_EQ(z.percentText, QStringLiteral("16%"));
    EXPECT_EQ(z.stateText, QStringLiteral("縮小表示中"));
    EXPECT_EQ(z.background, QColor(Qt::yellow));
    z = zoomIndicator(300, 0);
    EXPECT_EQ(z.state, ZoomState::NoImage);
    EXPECT_TRUE(z.percentText.isEmpty());
    EXPECT_EQ(z.background, QColor(Qt::white));
}

TEST(ViewerWidth, ActualSizeClearsOnlyTheZoomTexts) {
    const ZoomIndicator actual = zoomIndicator(800, 800);
    EXPECT_EQ(zoomStateCaption(QStringLiteral("拡大表示中"), actual), QString());
    EXPECT_EQ(zoomStateCaption(QStringLiteral("縮小表示中"), actual), QString());
    EXPECT_EQ(zoomStateCaption(QStringLiteral("保存しました"), actual),
              QStringLiteral("保存しました"));
    EXPECT_EQ(zoomStateCaption(QStringLiteral("保存しました"), zoomIndicator(900, 800)),
              QStringLiteral("拡大表示中"));
}

TEST(StripLayout, PanelPartsFollowTheSettings) {
    const StripPanelLayout l = stripPanelLayout(240, 180, 0.35, 2);
    EXPECT_EQ(l.image.size(), QSize(84, 63));
    const QRect panel(QPoint(), l.panel);
    EXPECT_TRUE(panel.contains(l.image));
    EXPECT_TRUE(panel.contains(l.checkBox));
    EXPECT_TRUE(panel.contains(l.label));
    EXPECT_FALSE(l.image.intersects(l.checkBox));
    EXPECT_FALSE(l.checkBox.intersects(l.label));
    // The check box grows with its size setting, which stays within 1..7.
    EXPECT_GT(stripPanelLayout(240, 180, 0.35, 5).checkBox.width(), l.checkBox.width());
    EXPECT_EQ(stripPanelLayout(240, 180, 0.35, 0).checkBox,
              stripPanelLayout(240, 180, 0.35, 1).checkBox);
    EXPECT_EQ(stripPanelLayout(240, 180, 0.35, 99).checkBox,
              stripPanelLayout(240, 180, 0.35, 7).checkBox);
    // A tiny factor still leaves room for the check box.
    const StripPanelLayout tiny = stripPanelLayout(240, 180, 0.01, 7);
    EXPECT_GE(tiny.panel.width(), tiny.checkBox.right() + 1);
}

TEST(StripLayout, ShownPanelsAndTheFirstStepOfASelection) {
    EXPECT_EQ(shownPanels(880, 88), 10);
    EXPECT_EQ(shownPanels(836, 88), 10); // 9.5
    EXPECT_EQ(shownPanels(748, 88), 8);  // 8.5
    EXPECT_EQ(shownPanels(20, 88), 1);
    EXPECT_EQ(shownPanels(500, 0), 1);
    EXPECT_EQ(stripFirstStepFor(1, 5), 1);
    EXPECT_EQ(stripFirstStepFor(5, 5), 1);
    EXPECT_EQ(stripFirstStepFor(6, 5), 2);
    EXPECT_EQ(stripFirstStepFor(20, 5), 16);
    EXPECT_EQ(stripFirstStepFor(20, 0), 20);
    EXPECT_EQ(stripFirstStepFor(0, 5), 1);
}
