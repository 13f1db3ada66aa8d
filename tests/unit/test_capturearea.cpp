#include "capture/capturearea.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(CaptureArea, AroundThePointerKeepsItsSizeInsideTheScreen) {
    const QSize screen(1920, 1080);
    EXPECT_EQ(aroundArea({10, 10}, screen, 1.0, -150, -100, 150, 200),
              (ScreenRect{0, 0, 300, 300}));
    const ScreenRect r = aroundArea({1900, 500}, screen, 1.0, -150, -100, 150, 200);
    EXPECT_EQ(r.right, 1920);
    EXPECT_EQ(r.left, 1900 - 150 - (1900 + 150 - 1920));
    EXPECT_EQ(r.width(), 300);
    EXPECT_EQ(aroundArea({960, 1075}, screen, 1.0, -150, -100, 150, 200),
              (ScreenRect{810, 780, 1110, 1080}));
    // Display scaling widens the screen the box may use.
    EXPECT_EQ(aroundArea({2390, 500}, screen, 1.25, -150, -100, 150, 200).right, 2400);
}

TEST(CaptureArea, DesktopAndTopWindow) {
    EXPECT_EQ(desktopArea({1280, 1024}, 1.0), (ScreenRect{0, 0, 1280, 1024}));
    EXPECT_EQ(desktopArea({1280, 1024}, 1.5), (ScreenRect{0, 0, 1920, 1536}));
    const ScreenRect w{100, 100, 500, 400};
    EXPECT_EQ(topWindowArea({300, 200}, w, 80, 40, 1.0), w); // pointer well inside
    EXPECT_EQ(topWindowArea({480, 390}, w, 80, 40, 1.0), (ScreenRect{100, 100, 560, 430}));
    // 2.5 and 3.5 round to the even neighbours.
    EXPECT_EQ(topWindowArea({300, 200}, {1, 3, 500, 400}, 80, 40, 2.5),
              (ScreenRect{2, 8, 1250, 1000}));
}

TEST(CaptureArea, WindowIsCutAroundThePointer) {
    const ScreenRect none{-100, -100, -90, -90};
    // The example: 1000 wide at x = 0, pointer at 900, 600 at most: right-aligned.
    ScreenRect r = windowArea({900, 50}, {0, 0, 1000, 300}, {}, none, 600, 400);
    EXPECT_EQ(r.left, 400);
    EXPECT_EQ(r.right, 1000);
    EXPECT_EQ(r.bottom, 300);
    // Pointer in the middle third: centred on it; near the left: the left edge stays.
    EXPECT_EQ(windowArea({500, 50}, {0, 0, 1000, 300}, {}, none, 600, 400).left, 200);
    EXPECT_EQ(windowArea({100, 50}, {0, 0, 1000, 300}, {}, none, 600, 400).left, 0);
    EXPECT_EQ(windowArea({401, 50}, {0, 0, 1000, 300}, {}, none, 600, 400).left, 101);
    // A window further right keeps the pointer inside the picture.
    r = windowArea({1100, 50}, {1000, 0, 2000, 300}, {}, none, 600, 400);
    EXPECT_LE(r.left, 1100);
    EXPECT_GT(r.right, 1100);
    EXPECT_EQ(r.width(), 600);
    // Heights are cut the same way.
    r = windowArea({50, 950}, {0, 0, 300, 1000}, {}, none, 600, 400);
    EXPECT_EQ(r.top, 600);
    EXPECT_EQ(r.bottom, 1000);
}

TEST(CaptureArea, AWindowThatIsTheClickedControlGivesWayToItsParent) {
    const ScreenRect button{100, 100, 180, 130}, dialog{50, 50, 450, 350};
    const ScreenRect element{105, 95, 185, 125}; // within 10 pixels on every edge
    EXPECT_EQ(windowArea({120, 110}, button, dialog, element, 600, 400), dialog);
    const ScreenRect elsewhere{100, 100, 150, 130};
    EXPECT_EQ(windowArea({120, 110}, button, dialog, elsewhere, 600, 400), button);
}

TEST(CaptureArea, ShrinkOnlyWhatIsTooLarge) {
    EXPECT_EQ(shrunkSize({1920, 1080}, 600, 400, 1.0), QSize(600, 338));
    EXPECT_EQ(shrunkSize({1000, 1000}, 600, 400, 1.0), QSize(400, 400));
    EXPECT_FALSE(shrunkSize({600, 400}, 600, 400, 1.0).has_value());
    EXPECT_FALSE(shrunkSize({300, 300}, 600, 400, 1.0).has_value());
    EXPECT_EQ(shrunkSize({1200, 400}, 600, 400, 1.25), QSize(750, 250));
    EXPECT_FALSE(shrunkSize({0, 100}, 600, 400, 1.0).has_value());
}
