#include "capture/getimage.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "tests/desktop/fixtureapp.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The fixture reports where its widgets are; the capture takes that as the
// element under the pointer, so this test does not depend on accessibility.
class FixtureElement : public ElementRectSource {
public:
    ScreenRect elementRectAt(QPoint) override { return rect; }
    ScreenRect rect;
};

class NoDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        shown << title + ": " + text;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
    QStringList shown;
};

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        ASSERT_TRUE(screen.isOpen());
        conf() = Settings();
        conf().mouseOption = 0; // the live pointer
        desktop.setForegroundWindow(fixture.window());
        waitUntil([&] { return desktop.foregroundWindow() == fixture.window(); }, 2000);
    }
    void TearDown() override { conf() = Settings(); }
    void pointAt(QPoint p) {
        input.moveTo(p);
        waitUntil([&] { return desktop.pointerPosition() == p; }, 2000);
        pause(150); // the toolkit sets its cursor after the move
    }
    static ScreenRect of(const QRect& r) {
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }

    FixtureApp& fixture = sharedFixture();
    x11::X11Desktop desktop;
    x11::X11ScreenCopy screen;
    x11::X11Cursor cursor;
    x11::X11SyntheticInput input;
    FixtureElement element;
    NoDialogs dialogs;
    CaptureEngine engine{desktop, screen, cursor, element, dialogs};
};

} // namespace

TEST_F(CaptureTest, AroundTheOkButtonShowsMarkerPointerAndTheScreen) {
    const QRect ok = fixture.geometry("OK");
    element.rect = of(ok);
    const QPoint p = ok.center();
    pointAt(p);
    const CaptureResult plain = engine.GetImage("around", "Left", true, true);
    const CaptureResult r = engine.GetImage("around", "Left", false, false);
    ASSERT_EQ(r.result, QString());
    ASSERT_EQ(r.area, plain.area);
    EXPECT_EQ(r.image.size(), QSize(300, 300));
    EXPECT_EQ(r.pointer, p);

    // The screen: the unmarked capture equals a fresh copy of the same area.
    const QImage direct =
        screen.copy(QRect(r.area.left, r.area.top, r.area.width(), r.area.height()));
    ASSERT_EQ(direct.size(), plain.image.size());
    EXPECT_EQ(direct.convertToFormat(QImage::Format_RGB32),
              plain.image.convertToFormat(QImage::Format_RGB32));

    // The pointer: its opaque pixels sit around the hot spot at the pointer.
    const CursorImage c = cursor.currentCursor();
    ASSERT_FALSE(c.image.isNull());
    const QPoint origin = p - QPoint(r.area.left, r.area.top) - c.hotSpot;
    int opaque = 0, matching = 0;
    for (int y = 0; y < c.image.height(); ++y)
        for (int x = 0; x < c.image.width(); ++x) {
            const QRgb px = c.image.pixel(x, y);
            const QPoint at = origin + QPoint(x, y);
            if (qAlpha(px) != 255 || !r.image.rect().contains(at)) continue;
            ++opaque;
            matching += (r.image.pixel(at) & 0xFFFFFF) == (px & 0xFFFFFF) ? 1 : 0;
        }
    ASSERT_GT(opaque, 10);
    EXPECT_EQ(matching, opaque);
    // The marker: every edge one pixel outside the button, moved by the area
    // origin, wherever the pointer (drawn last) does not cover it.
    const QRect covered(origin, c.image.size());
    int checked = 0;
    auto expectMarker = [&](int x, int y) {
        if (covered.contains(x, y)) return;
        ++checked;
        EXPECT_EQ(r.image.pixel(x, y) & 0xFFFFFF, 0xFF0000u) << x << "," << y;
    };
    const int left = ok.x() - 1 - r.area.left, top = ok.y() - 1 - r.area.top;
    const int right = ok.x() + ok.width() - r.area.left, bottom = ok.y() + ok.height() - r.area.top;
    for (int x = left + 4; x <= right - 4; x += 7) {
        expectMarker(x, top);
        expectMarker(x, bottom);
    }
    for (int y = top + 4; y <= bottom - 4; y += 3) {
        expectMarker(left, y);
        expectMarker(right, y);
    }
    EXPECT_GT(checked, 10);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join('\n').toStdString();
}

TEST_F(CaptureTest, WindowTargetHoldsThePaintedPatch) {
    const QRect patch = fixture.geometry("patch");
    element.rect = of(patch);
    pointAt(patch.center());
    const CaptureResult r = engine.GetImage("window", "Left", true, true);
    ASSERT_EQ(r.result, QString());
    const QRect area(r.area.left, r.area.top, r.area.width(), r.area.height());
    EXPECT_TRUE(area.contains(patch.center()));
    EXPECT_LE(r.area.width(), conf().winWidthMax);
    EXPECT_LE(r.area.height(), conf().winHeightMax);
    const QPoint redAt = QPoint(patch.x() + patch.width() / 4, patch.center().y()) - area.topLeft();
    const QPoint blueAt =
        QPoint(patch.x() + patch.width() * 3 / 4, patch.center().y()) - area.topLeft();
    EXPECT_EQ(r.image.pixel(redAt) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(r.image.pixel(blueAt) & 0xFFFFFF, 0x0000FFu);
}
