#include "capture/capturearea.h"
#include "capture/getimage.h"
#include "capture/monitorlayout.h"
#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakescreen.h"
#include "playback/playback.h"
#include "record/areaselection.h"
#include "store/settings.h"
#include "store/windowplacement.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// A screen of 3840 x 2048 divided as a user may have it: two monitors side by
// side with the primary one on the right (x = 1920), and a smaller one above
// the left monitor, leaving gaps on the screen that no monitor shows.
const QRect kLeft(0, 968, 1920, 1080);
const QRect kPrimary(1920, 968, 1920, 1080);
const QRect kSmall(448, 200, 1024, 768);
const QList<QRect> kLayout{kPrimary, kLeft, kSmall};
const QRect kWhole(0, 0, 3840, 2048);

ScreenRect edges(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

} // namespace

TEST(Monitors, PointBelongsToTheMonitorThatHoldsIt) {
    EXPECT_EQ(monitorAt(kLayout, {1920, 968}, kWhole), kPrimary); // first pixel of the primary
    EXPECT_EQ(monitorAt(kLayout, {1919, 2047}, kWhole), kLeft);    // last pixel of the left one
    EXPECT_EQ(monitorAt(kLayout, {448, 967}, kWhole), kSmall);     // the small one's bottom row
    EXPECT_EQ(monitorAt(kLayout, {448, 968}, kWhole), kLeft);      // just below it
    // In a gap: the nearest monitor.
    EXPECT_EQ(monitorAt(kLayout, {3000, 100}, kWhole), kPrimary);
    EXPECT_EQ(monitorAt(kLayout, {200, 300}, kWhole), kSmall);
    // Overlapping monitors (a whole-screen monitor beside the others): the smallest.
    EXPECT_EQ(monitorAt({kWhole, kSmall}, {500, 300}, kWhole), kSmall);
    EXPECT_EQ(monitorAt({kWhole, kSmall}, {3000, 300}, kWhole), kWhole);
    // No monitors known: the whole screen.
    EXPECT_EQ(monitorAt({}, {5, 5}, kWhole), kWhole);
}

TEST(Monitors, WindowBelongsToTheMonitorWithMostOfIt) {
    EXPECT_EQ(monitorOfWindow(kLayout, QRect(1700, 1200, 500, 400), kWhole), kPrimary);
    EXPECT_EQ(monitorOfWindow(kLayout, QRect(1500, 1200, 500, 400), kWhole), kLeft);
    // Off every monitor (its monitor was removed): the nearest to its middle.
    EXPECT_EQ(monitorOfWindow(kLayout, QRect(5000, 1200, 500, 400), kWhole), kPrimary);
    EXPECT_EQ(primaryMonitor(kLayout, kWhole), kPrimary);
    EXPECT_EQ(primaryMonitor({}, kWhole), kWhole);
}

TEST(Monitors, AroundBoxStaysOnTheMonitorOfThePointer) {
    // Near the primary's left and top edges: pushed right and down, so no
    // pixel of the left monitor or of the gap above comes in.
    EXPECT_EQ(aroundAreaOn({1930, 980}, edges(kPrimary), 1.0, -150, -100, 150, 200),
              (ScreenRect{1920, 968, 2220, 1268}));
    // Near the left monitor's right edge: pushed left.
    EXPECT_EQ(aroundAreaOn({1910, 1500}, edges(kLeft), 1.0, -150, -100, 150, 200),
              (ScreenRect{1620, 1400, 1920, 1700}));
    // At the small monitor's bottom edge: pushed up, the box keeps its size.
    EXPECT_EQ(aroundAreaOn({460, 960}, edges(kSmall), 1.0, -150, -100, 150, 200),
              (ScreenRect{448, 668, 748, 968}));
    // The one-monitor form is the same as a monitor at the origin.
    EXPECT_EQ(aroundArea({10, 10}, QSize(1920, 1080), 1.0, -150, -100, 150, 200),
              (ScreenRect{0, 0, 300, 300}));
    EXPECT_EQ(desktopAreaOn(edges(kPrimary), 1.0), edges(kPrimary));
    EXPECT_EQ(desktopAreaOn(edges(kSmall), 1.25), (ScreenRect{560, 250, 1840, 1210}));
    EXPECT_EQ(clippedToMonitor({1800, 1000, 2100, 1200}, edges(kPrimary), 1.0),
              (ScreenRect{1920, 1000, 2100, 1200}));
    EXPECT_EQ(clippedToMonitor({0, 0, 100, 100}, edges(kPrimary), 1.0), ScreenRect{});
}

TEST(Monitors, ScaledWindowUnitsKeepTheMonitorCorner) {
    // A toolkit scaling by 2 keeps each monitor's corner and halves its extent.
    const QList<ScaledMonitor> scaled{{QRect(1920, 968, 960, 540), 2.0},
                                      {QRect(0, 968, 960, 540), 2.0}};
    EXPECT_EQ(toLogical(scaled, QRect(2020, 1068, 300, 200)), QRect(1970, 1018, 150, 100));
    // Odd pixels widen outwards, so lines just outside the area stay outside.
    EXPECT_EQ(toLogical(scaled, QRect(1921, 969, 3, 3)), QRect(1920, 968, 2, 2));
    EXPECT_EQ(toPixels(scaled, QPoint(1970, 1018)), QPoint(2020, 1068));
    EXPECT_EQ(toPixels(scaled, QPoint(100, 1000)), QPoint(200, 1032));
    // Unscaled, nothing changes.
    EXPECT_EQ(toLogical({{kPrimary, 1.0}}, QRect(2000, 1000, 30, 40)), QRect(2000, 1000, 30, 40));
}

TEST(Monitors, AreaSelectionStaysOnItsStartMonitor) {
    AreaSelection area(nullptr, [](QPoint p) { return monitorAt(kLayout, p, kWhole); });
    area.setMode(true);
    area.command("start", {1800, 1100});
    area.command("move", {2100, 1300}); // across onto the primary
    area.command("end", {2100, 1300});
    EXPECT_EQ(area.takeSelection(), QRect(1800, 1100, 120, 200));
    AreaSelection unbounded;
    unbounded.command("start", {1800, 1100});
    unbounded.command("move", {2100, 1300});
    EXPECT_EQ(unbounded.area(), QRect(1800, 1100, 300, 200));
}

TEST(Monitors, MainWindowAndCharacterUseTheirMonitor) {
    // Defaults: the lower right corner of the primary monitor.
    EXPECT_EQ(defaultWindowRect(kPrimary), (WindowRect{3320, 1618, 3820, 2018}));
    // A window saved on the left monitor stays there; one that sticks out of
    // it is pulled onto it, not onto the screen.
    EXPECT_EQ(placedOnMonitors({100, 1000, 600, 1400}, kLayout), (WindowRect{100, 1000, 600, 1400}));
    EXPECT_EQ(placedOnMonitors({1700, 1900, 1900, 2200}, kLayout),
              (WindowRect{1700, 1748, 1900, 2048}));
    // Saved on a monitor that is gone: onto the nearest one.
    EXPECT_EQ(placedOnMonitors({4000, 1000, 4500, 1400}, kLayout),
              (WindowRect{3340, 1000, 3840, 1400}));
    // The character measures from the monitor's edges.
    EXPECT_EQ(Playback::characterTarget(QRect(2500, 1200, 500, 400), kPrimary, 120),
              QPoint(2380, 1225));
    EXPECT_EQ(Playback::characterTarget(QRect(1950, 980, 500, 400), kPrimary, 120),
              QPoint(1920 + 960 - 120, 968 + 540));
}

namespace {
class NoElement : public ElementRectSource {
public:
    ScreenRect elementRectAt(QPoint) override { return rect; }
    ScreenRect rect;
};

QRgb colourOf(const QRect& monitor) {
    if (monitor == kPrimary) return qRgb(0, 0, 200);
    if (monitor == kLeft) return qRgb(0, 200, 0);
    return qRgb(200, 200, 0);
}

struct Desk {
    ScratchHome home;
    FakeDesktop desktop;
    FakeScreen screen{kWhole.size(), Qt::black};
    NoElement element;
    FakeDialogs dialogs;
    CaptureEngine engine{desktop, screen, screen, element, dialogs};
    Desk() {
        desktop.setScreenSize(kWhole.size());
        screen.monitorList = kLayout;
        for (const QRect& m : kLayout)
            for (int y = m.top(); y <= m.bottom(); ++y)
                for (int x = m.left(); x <= m.right(); ++x)
                    screen.pixels().setPixel(x, y, colourOf(m));
        QImage cursor(3, 3, QImage::Format_ARGB32_Premultiplied);
        cursor.fill(qRgb(255, 0, 255));
        screen.setCursor({cursor, QPoint(1, 1), 1});
        conf().mouseOption = 0;
        conf().plainScale = 1;
    }
};
} // namespace

TEST(Monitors, CapturesTakeOnlyTheMonitorOfTheClick) {
    Desk d;
    for (const QRect& m : kLayout) {
        SCOPED_TRACE(m.x());
        // A click near the monitor's top-left inner corner, a button under it.
        const QPoint click = m.topLeft() + QPoint(12, 9);
        d.element.rect = {click.x() - 5, click.y() - 4, click.x() + 40, click.y() + 16};
        d.engine.atPoint = click;
        const CaptureResult desk = d.engine.GetImage("desktop", "", false, false);
        ASSERT_EQ(desk.result, QString());
        EXPECT_EQ(desk.area, edges(m));
        ASSERT_EQ(desk.image.size(), m.size());
        EXPECT_EQ(desk.image.pixel(m.width() - 1, m.height() - 1), colourOf(m));
        // Pointer exactly at the click, marker one pixel outside the element.
        EXPECT_EQ(desk.image.pixel(12, 9), qRgb(255, 0, 255));
        EXPECT_EQ(desk.image.pixel(12 + 20, 9 - 4 - 1), qRgb(255, 0, 0));

        d.engine.atPoint = click;
        const CaptureResult around = d.engine.GetImage("around", "", false, false);
        EXPECT_EQ(around.area, (ScreenRect{m.x(), m.y(), m.x() + 300, m.y() + 300}));
        EXPECT_EQ(around.image.pixel(0, 0), colourOf(m)); // nothing of a neighbour or a gap
        EXPECT_EQ(around.image.pixel(12, 9), qRgb(255, 0, 255));
    }
    // A selected area reaching over onto the neighbour is cut at its monitor.
    d.engine.selectedArea = QRect(1800, 1000, 200, 100);
    d.engine.atPoint = QPoint(1850, 1050);
    const CaptureResult rect = d.engine.GetImage("rect", "", true, true);
    EXPECT_EQ(rect.area, (ScreenRect{1800, 1000, 1920, 1100}));
    EXPECT_EQ(rect.image.pixel(119, 50), colourOf(kLeft));
}

TEST(Monitors, ChangedMonitorsCountAtTheNextCapture) {
    Desk d;
    d.engine.atPoint = QPoint(2000, 1000);
    EXPECT_EQ(d.engine.GetImage("desktop", "", true, true).area, edges(kPrimary));
    // The primary is split in two while recording.
    d.screen.monitorList = {QRect(1920, 968, 960, 1080), QRect(2880, 968, 960, 1080), kLeft};
    d.engine.atPoint = QPoint(2000, 1000);
    EXPECT_EQ(d.engine.GetImage("desktop", "", true, true).area,
              (ScreenRect{1920, 968, 2880, 2048}));
}
