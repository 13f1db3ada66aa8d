#include "capture/encoders.h"
#include "store/settings.h"
#include "tests/unit/testutil.h"
#include "ui/imagesizepanel.h"
#include "ui/imageviewer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
// Left half red, right half blue.
void makeHalves(const QString& path, QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QPainter(&img).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    ASSERT_TRUE(writeByExtension(img, path, 95));
}

bool waitShown(ImageViewer& v) {
    for (int i = 0; i < 500 && v.isLoading(); ++i)
        QTest::qWait(10);
    QApplication::processEvents();
    return !v.isLoading();
}

QColor shownAt(ImageViewer& v, QPoint p) {
    return QColor(v.viewport()->grab().toImage().pixel(p));
}

bool near(QColor c, QColor want) {
    return std::abs(c.red() - want.red()) < 40 && std::abs(c.green() - want.green()) < 40 &&
           std::abs(c.blue() - want.blue()) < 40;
}

struct Viewer {
    ScratchHome home;
    QWidget window;
    ImageViewer* viewer = new ImageViewer(&window);
    QString folder = home.path("data/");
    Viewer(QSize size = {500, 400}) {
        QDir().mkpath(folder);
        window.resize(size);
        viewer->setGeometry(QRect(QPoint(), size));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};
} // namespace

TEST(ImageViewer, ShowsTheStepImageAtTheDisplayWidth) {
    Viewer t;
    makeHalves(t.folder + "2026120609050301.jpg", {1200, 800});
    t.viewer->setDisplayWidth(600);
    QSignalSpy shown(t.viewer, &ImageViewer::imageShown);
    t.viewer->showStep(t.folder, QStringLiteral("2026120609050301    "));
    ASSERT_TRUE(waitShown(*t.viewer));
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(t.viewer->imageSize(), QSize(1200, 800));
    EXPECT_EQ(t.viewer->displayedSize(), QSize(600, 400));
    EXPECT_EQ(t.viewer->image().size(), QSize(1200, 800));
    EXPECT_TRUE(near(shownAt(*t.viewer, {100, 100}), Qt::red));
    // The right half lies beyond the viewport until scrolled there.
    EXPECT_EQ(t.viewer->horizontalScrollBar()->maximum(), 600 - t.viewer->viewport()->width());
    t.viewer->horizontalScrollBar()->setValue(t.viewer->horizontalScrollBar()->maximum());
    EXPECT_TRUE(near(shownAt(*t.viewer, {t.viewer->viewport()->width() - 20, 100}), Qt::blue));
    // A new width redraws the same picture.
    t.viewer->setDisplayWidth(300);
    EXPECT_EQ(t.viewer->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(near(shownAt(*t.viewer, {250, 100}), Qt::blue));
    EXPECT_TRUE(near(shownAt(*t.viewer, {50, 100}), Qt::red));
}

TEST(ImageViewer, MissingCutOrForeignFilesLeaveItEmpty) {
    Viewer t;
    makeHalves(t.folder + "2026120609050301.jpg", {800, 600});
    const QByteArray good = readBytes(t.folder + "2026120609050301.jpg");
    writeBytes(t.folder + "2026120609050302.jpg", good.left(good.size() / 2));
    writeBytes(t.folder + "2026120609050303.png", "GIF89a but not really");
    const QColor empty = QColor(t.viewer->palette().color(QPalette::Mid).rgb());
    for (const char* name : {"2026120609050302", "2026120609050303", "2026120609050399"}) {
        t.viewer->showStep(t.folder, "2026120609050301");
        ASSERT_TRUE(waitShown(*t.viewer));
        ASSERT_TRUE(t.viewer->hasImage());
        QSignalSpy shown(t.viewer, &ImageViewer::imageShown);
        t.viewer->showStep(t.folder, name);
        ASSERT_TRUE(waitShown(*t.viewer)) << name;
        EXPECT_EQ(shown.count(), 1) << name;
        EXPECT_FALSE(t.viewer->hasImage()) << name;
        EXPECT_TRUE(t.viewer->image().isNull()) << name;
        EXPECT_EQ(shownAt(*t.viewer, {100, 100}), empty) << name;
    }
}

TEST(ImageViewer, DragPansWithTheFourWayCursor) {
    Viewer t({400, 300});
    makeHalves(t.folder + "a.png", {1200, 900});
    t.viewer->setDisplayWidth(1200);
    t.viewer->showFile(t.folder + "a.png");
    ASSERT_TRUE(waitShown(*t.viewer));
    QSignalSpy released(t.viewer, &ImageViewer::released);
    QWidget* vp = t.viewer->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, {200, 150});
    EXPECT_EQ(vp->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(vp, {100, 100});
    EXPECT_EQ(t.viewer->horizontalScrollBar()->value(), 100);
    EXPECT_EQ(t.viewer->verticalScrollBar()->value(), 50);
    QTest::mouseMove(vp, {150, 120});
    EXPECT_EQ(t.viewer->horizontalScrollBar()->value(), 50);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, {150, 120});
    EXPECT_NE(vp->cursor().shape(), Qt::SizeAllCursor);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
}

TEST(ImageViewer, DoubleClickAndContextMenuAreReported) {
    Viewer t;
    QSignalSpy released(t.viewer, &ImageViewer::released);
    QSignalSpy doubled(t.viewer, &ImageViewer::doubleClicked);
    QSignalSpy menu(t.viewer, &ImageViewer::rightClicked);
    QWindow* win = t.window.windowHandle();
    const QPoint at = t.viewer->viewport()->mapTo(&t.window, QPoint(50, 60));
    QTest::mouseDClick(win, Qt::LeftButton, {}, at);
    EXPECT_EQ(doubled.count(), 1);
    // Only the first release: the one that ends the double click is not reported.
    EXPECT_EQ(released.count(), 1);
    QTest::mouseClick(win, Qt::LeftButton, {}, at, 600);
    EXPECT_EQ(released.count(), 2);

    QContextMenuEvent ev(QContextMenuEvent::Mouse, {50, 60},
                         t.viewer->viewport()->mapToGlobal(QPoint(50, 60)));
    QApplication::sendEvent(t.viewer->viewport(), &ev);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), t.viewer->viewport()->mapToGlobal(QPoint(50, 60)));
}

namespace {
struct Panel : Viewer {
    ImageSizePanel* panel = nullptr;
    explicit Panel(QSize size = {700, 500}) : Viewer(size) {
        panel = new ImageSizePanel(*viewer, conf(), &window);
        panel->setGeometry(0, 0, 90, 300);
        viewer->setGeometry(100, 0, size.width() - 100, size.height());
        panel->show();
    }
};
} // namespace

TEST(ImageSizePanel, SliderEndsGive2000And300) {
    Panel t;
    EXPECT_EQ(t.panel->displayWidth(), 300); // disp img val width
    QSlider* s = t.panel->sldImgWidth;
    s->setValue(s->minimum());
    EXPECT_EQ(t.panel->displayWidth(), 2000);
    EXPECT_EQ(t.viewer->displayWidth(), 2000);
    EXPECT_EQ(t.panel->lblImgWidth->text(), QStringLiteral("2000"));
    EXPECT_EQ(conf().dispImgValWidth, 2000);
    // That end is at the top of the slider.
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = Qt::Vertical;
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = opt.sliderValue = s->value();
    opt.upsideDown = !s->invertedAppearance();
    const QRect handle =
        s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
    EXPECT_LT(handle.center().y(), s->height() / 4);
    s->setValue(s->maximum());
    EXPECT_EQ(t.panel->displayWidth(), 300);
    EXPECT_EQ(conf().dispImgValWidth, 300);
    QTest::keyClick(s, Qt::Key_PageUp); // toward the top: larger by one large change
    EXPECT_EQ(t.panel->displayWidth(), 400);
    QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(t.panel->displayWidth(), 390);
}

TEST(ImageSizePanel, ActualSizeIsWhiteWithoutZoomText) {
    Panel t;
    makeHalves(t.folder + "a.png", {1000, 600});
    t.viewer->showFile(t.folder + "a.png");
    ASSERT_TRUE(waitShown(*t.viewer));
    EXPECT_EQ(t.panel->lblImgPercent->text(), QStringLiteral("30%"));
    EXPECT_EQ(t.panel->lblImgPercent->palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_EQ(t.panel->lblZoomState->text(), QStringLiteral("縮小表示中"));

    QTest::mouseClick(t.panel->lblImgPercent, Qt::LeftButton);
    EXPECT_EQ(t.panel->displayWidth(), 1000);
    EXPECT_EQ(t.panel->lblImgPercent->text(), QStringLiteral("100%"));
    EXPECT_EQ(t.panel->lblImgPercent->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(QColor(t.panel->lblImgPercent->grab().toImage().pixel(2, 2)), QColor(Qt::white));
    EXPECT_TRUE(t.panel->lblZoomState->text().isEmpty());
    EXPECT_EQ(t.viewer->displayedSize(), QSize(1000, 600));

    t.panel->setDisplayWidth(1500);
    EXPECT_EQ(t.panel->lblImgPercent->text(), QStringLiteral("150%"));
    EXPECT_EQ(t.panel->lblImgPercent->palette().color(QPalette::Window), QColor(Qt::cyan));
    EXPECT_EQ(t.panel->lblZoomState->text(), QStringLiteral("拡大表示中"));

    // A picture wider than the slider's range still goes to its own width.
    makeHalves(t.folder + "wide.png", {2400, 300});
    t.viewer->showFile(t.folder + "wide.png");
    ASSERT_TRUE(waitShown(*t.viewer));
    QTest::mouseClick(t.panel->lblImgPercent, Qt::LeftButton);
    EXPECT_EQ(t.viewer->displayedSize(), QSize(2400, 300));
    EXPECT_EQ(t.panel->lblImgPercent->text(), QStringLiteral("100%"));
    t.viewer->clear();
    EXPECT_TRUE(t.panel->lblImgPercent->text().isEmpty());
    EXPECT_TRUE(t.panel->lblZoomState->text().isEmpty());
    t.viewer->showFile(t.folder + "wide.png");
    ASSERT_TRUE(waitShown(*t.viewer));

    // The window's own label: other texts there are left alone.
    QLabel other(QStringLiteral("記録中"));
    t.panel->setZoomLabel(&other);
    EXPECT_EQ(other.text(), QStringLiteral("記録中"));
    EXPECT_TRUE(t.panel->lblZoomState->isHidden());
    t.panel->setDisplayWidth(1200);
    EXPECT_EQ(other.text(), QStringLiteral("縮小表示中"));
    QTest::mouseClick(t.panel->lblImgPercent, Qt::LeftButton);
    EXPECT_TRUE(other.text().isEmpty());
}

TEST(ImageSizePanel, FitUsesTheViewerWidthWithinTheSliderRange) {
    Panel t({900, 500});
    QTest::mouseClick(t.panel->lblImgWidth, Qt::LeftButton);
    EXPECT_EQ(t.panel->displayWidth(), t.viewer->innerWidth());
    EXPECT_GT(t.panel->displayWidth(), 700);
    EXPECT_EQ(conf().dispImgValWidth, t.panel->displayWidth());

    conf().dispImgMinWidth = 600; // the largest width
    t.panel->applySettings();
    QTest::mouseClick(t.panel->lblImgWidth, Qt::LeftButton);
    EXPECT_EQ(t.panel->displayWidth(), 600);

    t.viewer->setGeometry(100, 0, 150, 400);
    QTest::mouseClick(t.panel->lblImgWidth, Qt::LeftButton);
    EXPECT_EQ(t.panel->displayWidth(), 300);
}
