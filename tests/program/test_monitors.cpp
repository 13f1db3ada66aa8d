// Recording on a screen divided into several monitors (the desktop session's
// KLAVORO_MONITORS; without it these tests are skipped): every target, clicks
// near the inner edges of each monitor, the pictures checked pixel by pixel.
// With KLAVORO_PROGRAM_SCALE the program alone runs with that QT_SCALE_FACTOR.
#include "platform/x11/x11desktop.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Monitor {
    QString name;
    QRect rect;
};

// "NAME:WxH+X+Y ..." as the desktop session took it.
QList<Monitor> sessionMonitors() {
    QList<Monitor> out;
    for (const QString& entry :
         qEnvironmentVariable("KLAVORO_MONITORS").split(' ', Qt::SkipEmptyParts)) {
        const QString name = entry.section(':', 0, 0).remove('*');
        const QString g = entry.section(':', 1);
        const QStringList n = QString(g).replace('x', '+').split('+');
        if (n.size() == 4)
            out << Monitor{name, QRect(n[2].toInt(), n[3].toInt(), n[0].toInt(), n[1].toInt())};
    }
    return out;
}

QRect monitorRect(const QString& name) {
    for (const Monitor& m : sessionMonitors())
        if (m.name == name) return m.rect;
    return {};
}

// The bounding box of the marker's colour (pure red, with room for rounding),
// from the first red row down to `maxHeight` rows (the fixture's red patch
// lies further down).
QRect redBox(const QImage& image, int maxHeight) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        if (!box.isNull() && y > box.top() + maxHeight) break;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Dark pixels of the arrow's outline just below and right of its tip; the
// button's face there is light.
int darkBelowRight(const QImage& image, QPoint tip) {
    int dark = 0;
    for (int y = tip.y(); y < tip.y() + 14; ++y)
        for (int x = tip.x(); x < tip.x() + 8; ++x)
            if (image.valid(x, y) && image.pixelColor(x, y).lightness() < 60) ++dark;
    return dark;
}

// Where a click lands, what the picture must show, for one fixture window.
struct Place {
    QString monitor;
    QPoint pos; // of the fixture window
};

// The fixtures: on the primary (x = 1920) against its left edge, next to the
// left monitor; on the left monitor against its top edge, below the small
// one; on the small monitor against its bottom edge, the window reaching down
// onto the left monitor.
const Place kPlaces[] = {{"P", {1925, 975}}, {"L", {600, 975}}, {"S", {1100, 860}}};

struct MonitorRecording : ::testing::Test {
    void SetUp() override {
        if (sessionMonitors().size() < 3)
            GTEST_SKIP() << "needs the monitors of KLAVORO_MONITORS (ctest program_tests_monitors)";
        for (const Place& p : kPlaces) {
            fixtures.push_back(std::make_unique<FixtureApp>(QStringList{
                QStringLiteral("--title"), QStringLiteral("On ") + p.monitor,
                QStringLiteral("--pos"), QStringLiteral("%1,%2").arg(p.pos.x()).arg(p.pos.y())}));
            ASSERT_TRUE(fixtures.back()->start());
        }
    }

    // The program with `target`, a small main window on the primary's lower
    // right (the keys are in window units: scaled by 2 it is twice as big).
    void startProgram(int target, const QStringList& moreConf = {}) {
        const QByteArray scale = qgetenv("KLAVORO_PROGRAM_SCALE");
        if (!scale.isEmpty()) qputenv("QT_SCALE_FACTOR", scale);
        ProgramSession::Options o;
        o.conf = {QStringLiteral("target = %1").arg(target), QStringLiteral("plain scale = 1"),
                  QStringLiteral("save file format = 2"),    QStringLiteral("win width max = 3840"),
                  QStringLiteral("win height max = 2048"),   QStringLiteral("form left = 3300"),
                  QStringLiteral("form top = 1700"),         QStringLiteral("form right = 3800"),
                  QStringLiteral("form bottom = 2000")};
        o.conf += moreConf;
        session.emplace(o);
        qunsetenv("QT_SCALE_FACTOR");
        ASSERT_TRUE(session->ready());
    }

    // Records one click on the OK button of every fixture; the pictures in
    // click order. `before(i)` runs before the click on fixture i.
    QList<QImage> recordClicks(QList<QPoint>* clicks, const std::function<void(int)>& before = {},
                               const std::function<void(int)>& after = {}) {
        ProgramSession& s = *session;
        EXPECT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("記録"), s.title()));
        EXPECT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
        EXPECT_TRUE(waitUntil([&] { return QFile::exists(s.home() + "/wait"); }, 8000));
        for (auto& f : fixtures) {
            if (before) before(int(clicks->size()));
            // Left of the button's text, so that the pointer's tip lies on the button's face.
            const QRect ok = f->geometry(QStringLiteral("OK"));
            const QPoint click(ok.left() + 6, ok.center().y());
            clicks->append(click);
            pause(300); // the fixture's accessibility settles after the others' clicks
            s.ui().click(click);
            EXPECT_TRUE(f->waitForLine(QStringLiteral("clicked OK")));
            if (after) after(int(clicks->size()) - 1);
            pause(500);
        }
        s.ui().key(QStringLiteral("Ctrl+Shift+e"));
        EXPECT_TRUE(waitUntil([&] { return !QFile::exists(s.home() + "/wait"); }, 8000));
        EXPECT_TRUE(waitUntil([&] { return opListLines(s.folder()).size() == 33; }, 10000));
        QList<QImage> images;
        const QStringList lines = opListLines(s.folder());
        for (int i = 30; i < lines.size(); ++i) {
            const QString file = s.folder() + lines[i].section('\t', 1, 1).trimmed() + ".png";
            images << QImage(file);
            if (!qEnvironmentVariableIsEmpty("KLAVORO_KEEP_PICTURES"))
                QFile::copy(file, qEnvironmentVariable("KLAVORO_KEEP_PICTURES") +
                                      QStringLiteral("/%1-%2.png").arg(m_target).arg(i - 29));
        }
        return images;
    }

    // The marker one pixel outside the button, and the pointer's tip at the
    // click, both where they are on the screen once the picture is put at `origin`.
    void expectMarkerAndPointer(const QImage& image, QPoint origin, const QRect& ok, QPoint click) {
        const QRect box = redBox(image, ok.height() + 6);
        ASSERT_FALSE(box.isEmpty()) << "no marker";
        EXPECT_LE(std::abs(box.left() - (ok.left() - 1 - origin.x())), 1) << box.left();
        EXPECT_LE(std::abs(box.top() - (ok.top() - 1 - origin.y())), 1) << box.top();
        EXPECT_LE(std::abs(box.width() - (ok.width() + 2)), 2) << box.width();
        EXPECT_LE(std::abs(box.height() - (ok.height() + 2)), 2) << box.height();
        EXPECT_GE(darkBelowRight(image, click - origin), 8) << "no pointer at the click";
        // Nothing dark where the pointer would be if it were a few pixels off.
        EXPECT_LT(darkBelowRight(image, click - origin + QPoint(0, -14)), 8);
    }

    std::vector<std::unique_ptr<FixtureApp>> fixtures;
    std::optional<ProgramSession> session;
    int m_target = 0;
};

} // namespace

TEST_F(MonitorRecording, DesktopIsTheMonitorOfTheClick) {
    m_target = 2;
    startProgram(2);
    QList<QPoint> clicks;
    const QList<QImage> images = recordClicks(&clicks);
    ASSERT_EQ(images.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kPlaces[i].monitor.toStdString());
        const QRect m = monitorRect(kPlaces[i].monitor);
        ASSERT_EQ(images[i].size(), m.size());
        expectMarkerAndPointer(images[i], m.topLeft(), fixtures[i]->geometry("OK"), clicks[i]);
    }
    EXPECT_TRUE(session->close());
}

TEST_F(MonitorRecording, AroundStaysOnTheMonitorAtItsInnerEdges) {
    m_target = 0;
    startProgram(0);
    QList<QPoint> clicks;
    const QList<QImage> images = recordClicks(&clicks);
    ASSERT_EQ(images.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kPlaces[i].monitor.toStdString());
        const QRect m = monitorRect(kPlaces[i].monitor);
        const QPoint c = clicks[i];
        ASSERT_EQ(images[i].size(), QSize(300, 300));
        // The 300 x 300 box from (-150, -100), pushed back at the monitor's edges.
        const int left = std::clamp(c.x() - 150, m.left(), m.left() + m.width() - 300);
        const int top = std::clamp(c.y() - 100, m.top(), m.top() + m.height() - 300);
        expectMarkerAndPointer(images[i], {left, top}, fixtures[i]->geometry("OK"), c);
    }
    // The fixtures stand close enough to the inner edges that the box had to
    // be pushed: off the left monitor at P's left edge, off L at S's bottom.
    EXPECT_LT(clicks[0].x() - 150, monitorRect("P").left());
    EXPECT_GT(clicks[2].y() + 200, monitorRect("S").bottom() + 1);
    EXPECT_TRUE(session->close());
}

TEST_F(MonitorRecording, WindowTargetsKeepMarkerAndPointerOnTheElement) {
    for (int target : {1, 3, 4}) {
        SCOPED_TRACE(target);
        m_target = target;
        startProgram(target);
        QList<QPoint> clicks;
        const QList<QImage> images = recordClicks(&clicks);
        ASSERT_EQ(images.size(), 3);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(kPlaces[i].monitor.toStdString());
            // Wherever the window's picture starts, marker and pointer keep
            // their distance on the screen: find the marker, then the pointer.
            const QRect ok = fixtures[i]->geometry("OK");
            const QRect box = redBox(images[i], ok.height() + 6);
            ASSERT_FALSE(box.isEmpty());
            const QPoint origin(ok.left() - 1 - box.left(), ok.top() - 1 - box.top());
            expectMarkerAndPointer(images[i], origin, ok, clicks[i]);
        }
        EXPECT_TRUE(session->close());
        session.reset();
    }
}

TEST_F(MonitorRecording, MainWindowIsPulledOntoItsMonitor) {
    m_target = 0;
    // Saved half off the primary's right edge: pulled onto the primary, not
    // onto the screen's whole width or another monitor. Small enough to fit
    // on it when scaled by 2.
    const QByteArray scale = qgetenv("KLAVORO_PROGRAM_SCALE");
    if (!scale.isEmpty()) qputenv("QT_SCALE_FACTOR", scale);
    session.emplace(ProgramSession::conf(
        {QStringLiteral("form left = 3500"), QStringLiteral("form top = 1200"),
         QStringLiteral("form right = 4300"), QStringLiteral("form bottom = 1600")}));
    qunsetenv("QT_SCALE_FACTOR");
    ASSERT_TRUE(session->ready());
    // In screen pixels, from the X server.
    x11::X11Desktop desktop;
    const QRect frame = desktop.windowRect(session->mainWindow());
    const QRect p = monitorRect("P");
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_TRUE(p.contains(frame.center())) << frame.x() << "," << frame.y();
    EXPECT_LE(frame.right(), p.right());
    EXPECT_GE(frame.left(), p.left());
    EXPECT_TRUE(session->close());
}

namespace {

bool xrandr(const QStringList& args) {
    return QProcess::execute(QStringLiteral("xrandr"), args) == 0;
}

// `xrandr --setmonitor` geometry at 96 dots per inch, as the desktop session gives it.
QString randrGeometry(const QRect& r) {
    return QStringLiteral("%1/%2x%3/%4+%5+%6")
        .arg(r.width())
        .arg(r.width() * 254 / 960)
        .arg(r.height())
        .arg(r.height() * 254 / 960)
        .arg(r.x())
        .arg(r.y());
}

} // namespace

TEST_F(MonitorRecording, MonitorsChangedWhileRecordingCountFromTheNextPress) {
    m_target = 2;
    startProgram(2);
    // The small monitor gives way to a wider one just before its click; it
    // comes back whatever happens.
    const QRect small = monitorRect("S");
    const QRect wider(small.x(), small.y(), small.width() + 200, small.height());
    struct Restore {
        QRect small;
        ~Restore() {
            xrandr({QStringLiteral("--delmonitor"), QStringLiteral("W")});
            xrandr({QStringLiteral("--setmonitor"), QStringLiteral("S"), randrGeometry(small),
                    QStringLiteral("none")});
        }
    } restore{small};
    QList<QPoint> clicks;
    const QList<QImage> images = recordClicks(&clicks, [&](int i) {
        if (i != 2) return;
        EXPECT_TRUE(xrandr({QStringLiteral("--delmonitor"), QStringLiteral("S")}));
        EXPECT_TRUE(xrandr({QStringLiteral("--setmonitor"), QStringLiteral("W"),
                            randrGeometry(wider), QStringLiteral("none")}));
        pause(500);
    });
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[0].size(), monitorRect("P").size());
    EXPECT_EQ(images[1].size(), monitorRect("L").size());
    ASSERT_EQ(images[2].size(), wider.size());
    expectMarkerAndPointer(images[2], wider.topLeft(), fixtures[2]->geometry("OK"), clicks[2]);
    EXPECT_TRUE(session->close());
}

TEST_F(MonitorRecording, StepCounterShowsOnTheMonitorOfTheClick) {
    m_target = 0;
    startProgram(0, {QStringLiteral("popup counter = 1")});
    QList<QPoint> clicks;
    QStringList counts;
    recordClicks(&clicks, {}, [&](int i) {
        SCOPED_TRACE(kPlaces[i].monitor.toStdString());
        // The counter's window has no title: a label with the number and a
        // close button "×". Its text must change with every click.
        UiElement label;
        waitUntil(
            [&] {
                const QList<UiElement> all = session->ui().elements();
                for (qsizetype k = 1; k < all.size(); ++k)
                    if (all[k].role == QLatin1String("push button") && all[k].name == u"×" &&
                        all[k - 1].role == QLatin1String("label") &&
                        !counts.contains(all[k - 1].name)) {
                        label = all[k - 1];
                        return true;
                    }
                pause(100);
                return false;
            },
            4000);
        ASSERT_TRUE(label) << session->ui().dump().toStdString();
        counts << label.name;
        // In the lower right corner of the click's monitor.
        const QRect m = monitorRect(kPlaces[i].monitor);
        EXPECT_TRUE(m.contains(label.rect)) << label.rect.x() << "," << label.rect.y();
        EXPECT_GT(label.rect.center().x(), m.center().x());
        EXPECT_GT(label.rect.center().y(), m.center().y());
    });
    ASSERT_EQ(counts.size(), 3);
    EXPECT_EQ(counts[1].toInt(), counts[0].toInt() + 1);
    EXPECT_EQ(counts[2].toInt(), counts[1].toInt() + 1);
    EXPECT_TRUE(session->close());
}

TEST_F(MonitorRecording, MaximumPictureSizeIsLimitedByThePrimaryInScreenPixels) {
    m_target = 1;
    startProgram(1); // a window target: the maximum size is shown
    ProgramSession& s = *session;
    const QString dialog = QStringLiteral("設定");
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), dialog, s.title()));
    ASSERT_TRUE(
        s.ui().click(QStringLiteral("push button"), QStringLiteral("キャプチャー"), dialog));
    const UiElement label =
        s.ui().find(QStringLiteral("label"), QStringLiteral("幅（ピクセル）"), 5000, dialog);
    ASSERT_TRUE(label) << s.ui().dump(dialog).toStdString();
    // The width box: the text box on the label's row, right of it.
    const UiElement box = s.ui().find(
        [&](const UiElement& e) {
            return e.role == QLatin1String("text") && e.rect.left() > label.rect.left() &&
                   std::abs(e.rect.center().y() - label.rect.center().y()) < label.rect.height();
        },
        3000, dialog);
    ASSERT_TRUE(box) << s.ui().dump(dialog).toStdString();
    const auto enter = [&](const QString& value) {
        s.ui().click(box.centre());
        s.ui().key(QStringLiteral("Ctrl+a"));
        s.ui().type(value);
        s.ui().key(QStringLiteral("Tab"));
    };
    // The primary monitor is 1920 pixels wide, however big the windows are drawn.
    const int width = monitorRect("P").width();
    enter(QString::number(width + 1));
    const QString refused = s.dialogText(QStringLiteral("入力値不正"));
    EXPECT_TRUE(refused.contains(QStringLiteral("%1 以内の値を入力して下さい！").arg(width)))
        << refused.toStdString();
    EXPECT_TRUE(s.answer(QStringLiteral("入力値不正"), Answer::Ok));
    enter(QString::number(width));
    EXPECT_FALSE(s.hasWindow(QStringLiteral("入力値不正"), 1500));
    // Scaled by 2 the dialog is taller than the monitor and its buttons lie
    // below the screen: it is left with Escape.
    s.ui().key(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(dialog); })) << s.ui().dump().toStdString();
    EXPECT_TRUE(session->close());
}

namespace {

// Rows (or columns) of a line through `image` that show the marker's red.
QList<int> redAlong(const QImage& image, bool column, int at) {
    QList<int> out;
    const int n = column ? image.height() : image.width();
    for (int i = 0; i < n; ++i) {
        const QColor c = column ? image.pixelColor(at, i) : image.pixelColor(i, at);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) out << i;
    }
    return out;
}

} // namespace

TEST_F(MonitorRecording, SelectedAreaEndsAtTheEdgeOfItsMonitor) {
    m_target = 0;
    startProgram(0);
    ProgramSession& s = *session;
    UiDriver& ui = s.ui();
    ASSERT_TRUE(ui.click(QStringLiteral("push button"), QStringLiteral("記録"), s.title()));
    ASSERT_TRUE(s.answer(QStringLiteral("削除確認"), Answer::No));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(s.home() + "/wait"); }, 8000));
    // The hot keys are taken a moment after the wait marker appears.
    pause(1000);
    ui.key(QStringLiteral("Ctrl+Shift+c"));
    // Said in the main window, or in a notice when that is out of the way.
    EXPECT_TRUE(ui.find(QStringLiteral("label"), QStringLiteral("範囲選択可"), 5000))
        << ui.dump().toStdString();
    // From the primary across its left edge onto the left monitor: the area
    // stops at the primary's edge.
    const QPoint from(2000, 1020), to(1800, 1150);
    ui.moveTo(from);
    ui.hold(QStringLiteral("Shift_L"), true);
    for (int i = 1; i <= 10; ++i)
        ui.moveTo(from + (to - from) * i / 10);
    pause(300);
    const QRect area(1920, 1020, 80, 130);
    // The lines just outside the area, in screen pixels whatever our scale
    // (scaled, a line is as thick as one of our units).
    const int thick = std::max(1, qEnvironmentVariableIntValue("KLAVORO_PROGRAM_SCALE"));
    const QRect around = area.adjusted(-10, -10, 10, 10);
    const QPoint o = around.topLeft();
    QList<int> expectedColumn, expectedRow;
    for (int t = 1; t <= thick; ++t) {
        expectedColumn << area.top() - t - o.y() << area.bottom() + t - o.y();
        expectedRow << area.right() + t - o.x();
    }
    std::sort(expectedColumn.begin(), expectedColumn.end());
    // Left of the area lies the other monitor: only the right line is asked
    // for. The lines follow the pointer with a delay: until they settle.
    QList<int> column, row;
    waitUntil(
        [&] {
            const QImage shown = ui.grab(around);
            column = redAlong(shown, true, area.center().x() - o.x());
            row.clear();
            for (int x : redAlong(shown, false, area.center().y() - o.y()))
                if (x + o.x() >= area.left()) row << x;
            return column == expectedColumn && row == expectedRow;
        },
        4000);
    ui.hold(QStringLiteral("Shift_L"), false);
    EXPECT_EQ(column, expectedColumn);
    EXPECT_EQ(row, expectedRow);

    ui.key(QStringLiteral("Ctrl+Shift+s"));
    EXPECT_TRUE(waitUntil([&] { return opListLines(s.folder()).size() == 31; }, 10000));
    ui.key(QStringLiteral("Ctrl+Shift+e"));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(s.home() + "/wait"); }, 8000));
    const QStringList lines = opListLines(s.folder());
    ASSERT_EQ(lines.size(), 31);
    const QImage picture(s.folder() + lines[30].section('\t', 1, 1).trimmed() + ".png");
    EXPECT_EQ(picture.size(), area.size());
    EXPECT_TRUE(session->close());
}
