#include "capture/getimage.h"
#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakescreen.h"
#include "store/settings.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class FixedElement : public ElementRectSource {
public:
    ScreenRect elementRectAt(QPoint p) override {
        asked << p;
        return rect;
    }
    ScreenRect rect;
    QList<QPoint> asked;
};

// A desktop with a dialog holding a button, on a screen whose pixel colours
// encode their position, so that any misplaced copy shows.
struct Scene {
    ScratchHome home;
    FakeDesktop desktop;
    FakeScreen screen{{1280, 1024}};
    FixedElement element;
    FakeDialogs dialogs;
    CaptureEngine engine{desktop, screen, screen, element, dialogs};
    static constexpr WindowId kDialog = 10, kButton = 11, kOwner = 9;

    Scene() {
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 1280; ++x)
                screen.pixels().setPixel(x, y,
                                         qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)));
        desktop.setScreenSize({1280, 1024});
        desktop.addWindow({kOwner, 0, 0, QRect(0, 0, 1280, 1024), "MainWnd", "main", 1});
        desktop.addWindow({kDialog, 0, kOwner, QRect(200, 150, 400, 300), "Dialog", "dlg", 1});
        desktop.addWindow({kButton, kDialog, 0, QRect(300, 380, 80, 30), "Button", "OK", 1});
        QImage cursor(4, 4, QImage::Format_ARGB32_Premultiplied);
        cursor.fill(qRgb(0, 255, 0));
        screen.setCursor({cursor, QPoint(1, 1), 1});
        element.rect = {300, 380, 380, 410};
        conf().mouseOption = 0; // the live cursor unless a test says otherwise
    }
    static QRgb at(int x, int y) { return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)); }
};

} // namespace

TEST(GetImage, AroundCopiesTheScreenAndDrawsMarkerAndPointer) {
    Scene s;
    s.desktop.setPointer({340, 395});
    const CaptureResult r = s.engine.GetImage("around", "Left", false, false, true);
    ASSERT_EQ(r.result, QString());
    EXPECT_EQ(r.area, (ScreenRect{190, 295, 490, 595}));
    ASSERT_EQ(r.image.size(), QSize(300, 300));
    EXPECT_EQ(r.image.pixel(5, 5), Scene::at(195, 300)); // screen content at its place
    // Marker one pixel outside the element, moved by the area's origin.
    EXPECT_EQ(r.image.pixel(300 - 190 - 1 + 20, 380 - 295 - 1), qRgb(255, 0, 0));
    EXPECT_EQ(r.image.pixel(380 - 190, 410 - 295 - 10), qRgb(255, 0, 0));
    // Pointer drawn with its hot spot on the pointer position.
    EXPECT_EQ(r.image.pixel(340 - 190, 395 - 295), qRgb(0, 255, 0));
    EXPECT_EQ(r.image.pixel(340 - 190 - 2, 395 - 295 - 2), Scene::at(340 - 2, 395 - 2));
    // The unmarked picture has the pointer but not the marker.
    EXPECT_EQ(r.unmarked.pixel(340 - 190, 395 - 295), qRgb(0, 255, 0));
    EXPECT_EQ(r.unmarked.pixel(380 - 190, 410 - 295 - 10), Scene::at(380, 410 - 10));
    EXPECT_EQ(s.element.asked, QList<QPoint>{QPoint(340, 395)});
}

TEST(GetImage, FlagsAndSettingsLeaveOutMarkerAndPointer) {
    Scene s;
    s.desktop.setPointer({340, 395});
    CaptureResult r = s.engine.GetImage("around", "Left", true, true);
    EXPECT_EQ(r.image.pixel(340 - 190, 395 - 295), Scene::at(340, 395));
    EXPECT_EQ(r.image.pixel(380 - 190, 410 - 295 - 10), Scene::at(380, 400));
    conf().mouseCursor = 0;
    conf().rectPoint = 0;
    r = s.engine.GetImage("around", "Left", false, false);
    EXPECT_EQ(r.image.pixel(340 - 190, 395 - 295), Scene::at(340, 395));
    EXPECT_EQ(r.image.pixel(380 - 190, 410 - 295 - 10), Scene::at(380, 400));
    s.engine.forceMouseCursor = true; // the start option draws it anyway
    r = s.engine.GetImage("around", "Left", false, false);
    EXPECT_EQ(r.image.pixel(340 - 190, 395 - 295), qRgb(0, 255, 0));
}

TEST(GetImage, WindowTargetTakesTheParentOfTheClickedControl) {
    Scene s;
    s.desktop.setPointer({340, 395});
    CaptureResult r = s.engine.GetImage("window", "Left", false, false);
    EXPECT_EQ(r.area, (ScreenRect{200, 150, 600, 450})); // the dialog, not the button
    s.element.rect = {310, 385, 330, 400};               // a small element inside the button
    r = s.engine.GetImage("window", "Left", false, false);
    EXPECT_EQ(r.area, (ScreenRect{300, 380, 380, 410}));
    // A listed class is replaced by its top window.
    conf().getTopWindow = "Foo,button";
    r = s.engine.GetImage("window", "Left", false, false);
    EXPECT_EQ(r.area, (ScreenRect{200, 150, 600, 450}));
    EXPECT_TRUE(isTopWindowClass("MozillaWindowClass", Settings().getTopWindow));
    EXPECT_FALSE(isTopWindowClass("", Settings().getTopWindow));
}

TEST(GetImage, TopWindowAppAndDesktopAreShrunk) {
    Scene s;
    s.desktop.setPointer({340, 395});
    CaptureResult r = s.engine.GetImage("topwindow", "Left", false, false);
    EXPECT_EQ(r.area, (ScreenRect{200, 150, 600, 450}));
    EXPECT_EQ(r.image.size(), QSize(400, 300));         // within 600 x 400: unchanged
    r = s.engine.GetImage("app", "Left", false, false); // the dialog's owner
    EXPECT_EQ(r.area, (ScreenRect{0, 0, 1280, 1024}));
    EXPECT_EQ(r.image.size(), QSize(500, 400));
    r = s.engine.GetImage("desktop", "Left", false, false);
    EXPECT_EQ(r.image.size(), QSize(500, 400));
    conf().plainScale = 1;
    r = s.engine.GetImage("desktop", "Left", false, false);
    EXPECT_EQ(r.image.size(), QSize(1280, 1024));
    EXPECT_EQ(r.image.pixel(1000, 1000), Scene::at(1000, 1000));
}

TEST(GetImage, AreaBeyondTheScreenKeepsPositions) {
    Scene s;
    s.desktop.setPointer({1275, 1020}); // margin pushes past the screen's corner
    const CaptureResult r = s.engine.GetImage("topwindow", "Left", true, true);
    EXPECT_EQ(r.area.right, 1275 + 80);
    ASSERT_FALSE(r.image.isNull());
    const CaptureResult small = s.engine.GetImage("rect", "Left", true, true);
    EXPECT_EQ(small.result, kCaptureCancel); // no area selected
    // A selected area is cut to its monitor (here the one screen).
    s.engine.selectedArea = QRect(1270, 1000, 20, 40);
    const CaptureResult edge = s.engine.GetImage("rect", "Left", true, true);
    ASSERT_EQ(edge.image.size(), QSize(10, 24));
    EXPECT_EQ(edge.image.pixel(0, 0), Scene::at(1270, 1000));
    EXPECT_EQ(edge.image.pixel(9, 23), Scene::at(1279, 1023));
}

TEST(GetImage, CancelErrorAndPopupCounter) {
    Scene s;
    conf().popupCounter = 1;
    QList<int> shown;
    s.engine.stepCount = [] { return 7; };
    s.engine.showPopupCounter = [&](int n) { shown << n; };
    s.engine.selectedArea = QRect(10, 10, 3, 100);
    EXPECT_EQ(s.engine.GetImage("rect", "Left", false, false).result, kCaptureCancel);
    EXPECT_EQ(s.engine.GetImage("nowhere", "Left", false, false).result, kCaptureError);
    EXPECT_EQ(s.dialogs.titles, QStringList{"MyCapture"});
    EXPECT_EQ(shown, (QList<int>{8, 8}));
}

TEST(GetImage, FixedCursorFileOrTheLiveOneWhenItIsMissing) {
    Scene s;
    s.desktop.setPointer({340, 395});
    conf().mouseOption = 1;
    conf().mouseFile = "arrow_m.cur";
    CaptureResult r = s.engine.GetImage("around", "Left", false, true);
    EXPECT_EQ(r.image.pixel(150, 100), qRgb(0, 255, 0)); // no file in the program folder: live
    QDir().mkpath(s.home.path("cursors"));
    QFile::copy(QStringLiteral(KLAVORO_SOURCE_DIR "/cursors/arrow_m.cur"),
                s.home.path("cursors/arrow_m.cur"));
    r = s.engine.GetImage("around", "Left", false, true);
    EXPECT_EQ(r.image.pixel(150, 100), qRgb(0, 0, 0)); // the arrow's tip, hot spot 0,0
}
