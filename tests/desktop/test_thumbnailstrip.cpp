#include "capture/encoders.h"
#include "store/oplist.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "tests/unit/testutil.h"
#include "ui/thumbnailstrip.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {
QString stepName(int i) {
    return QStringLiteral("2026120609%1").arg(i, 6, 10, QLatin1Char('0'));
}

struct Strip {
    ScratchHome home;
    QString folder = home.path("data/");
    StepList steps;
    OpListHost host;
    FakeDialogs dialogs;
    OperationList opList{steps, host, dialogs};
    ThumbnailLoader thumbnails;
    ThumbnailStrip* strip = nullptr;

    explicit Strip(int count, int width = 600) {
        QDir().mkpath(folder);
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << buildStepLine(i, stepName(i), QStringLiteral("手順"), "jpg", QString());
        steps.appendLines(lines);
        strip = new ThumbnailStrip(steps, thumbnails, conf());
        strip->setCaptureFolder(folder);
        strip->setOperationList(&opList);
        strip->resize(width, strip->sizeHint().height());
        strip->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(strip));
    }
    ~Strip() { delete strip; }
    void image(int i, QColor colour) {
        QImage img(640, 480, QImage::Format_RGB32);
        img.fill(colour);
        ASSERT_TRUE(writeByExtension(img, folder + stepName(i) + ".jpg", 90));
    }
    QColor panelCentre(const QImage& shot, int step) const {
        const QRect panel = strip->panelRect(step);
        return QColor(shot.pixel(panel.left() + panel.width() / 2, panel.top() + 20));
    }
    bool waitIdle() {
        for (int i = 0; i < 1000 && !strip->loader().isIdle(); ++i)
            QTest::qWait(10);
        QApplication::processEvents();
        return strip->loader().isIdle();
    }
};

bool near(QColor c, QColor want) {
    return std::abs(c.red() - want.red()) < 30 && std::abs(c.green() - want.green()) < 30 &&
           std::abs(c.blue() - want.blue()) < 30;
}
} // namespace

TEST(ThumbnailStrip, PlaceholdersUntilTheThumbnailsAreMade) {
    Strip t(0);
    t.image(1, Qt::red);
    t.image(2, Qt::green);
    t.image(3, Qt::blue);
    writeBytes(t.folder + stepName(4) + ".jpg", "no picture");
    QStringList lines;
    for (int i = 1; i <= 4; ++i)
        lines << buildStepLine(i, stepName(i), QStringLiteral("手順"), "jpg", QString());
    t.steps.appendLines(lines);

    // Results come back as queued calls: none can arrive before events run.
    t.strip->doItemsLayout();
    t.strip->viewport()->repaint();
    QImage shot = t.strip->viewport()->grab().toImage();
    const QColor placeholder = QColor(t.strip->palette().color(QPalette::Midlight).rgb());
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(t.strip->loader().state(stepName(i)), ThumbnailLoader::State::Pending) << i;
        EXPECT_EQ(t.panelCentre(shot, i), placeholder) << i;
    }
    QSignalSpy ready(&t.strip->loader(), &ThumbnailLoader::ready);
    ASSERT_TRUE(t.waitIdle());
    EXPECT_EQ(ready.count(), 4);
    shot = t.strip->viewport()->grab().toImage();
    EXPECT_TRUE(near(t.panelCentre(shot, 1), Qt::red));
    EXPECT_TRUE(near(t.panelCentre(shot, 2), Qt::green));
    EXPECT_TRUE(near(t.panelCentre(shot, 3), Qt::blue));
    EXPECT_EQ(t.strip->loader().state(stepName(4)), ThumbnailLoader::State::Broken);
    EXPECT_EQ(t.panelCentre(shot, 4), placeholder);
    EXPECT_TRUE(QFile::exists(t.folder + "Thumb/Thumb_" + stepName(1) + ".jpg"));
}

TEST(ThumbnailStrip, CheckBoxClickTogglesTheMarkAndSaves) {
    Strip t(3);
    QSignalSpy toggled(t.strip, &ThumbnailStrip::checkMarkToggled);
    QSignalSpy clicked(t.strip, &ThumbnailStrip::stepClicked);
    QSignalSpy pressed(t.strip, &ThumbnailStrip::panelPressed);
    const QRect box = t.strip->checkBoxRect(2);
    ASSERT_FALSE(box.isEmpty());
    QTest::mouseClick(t.strip->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(t.steps.field(2, FieldCheck), kCheckMark);
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_EQ(toggled.at(0).at(0).toInt(), 2);
    EXPECT_TRUE(toggled.at(0).at(1).toBool());
    EXPECT_TRUE(readBytes(t.folder + "OpList.txt").contains(toShiftJis(kCheckMark)));
    // Drawn in `thumbnail chk color` (blue-green-red 0xFFFFC0).
    const QImage shot = t.strip->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(box.left() + 2, box.top() + 2)), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_TRUE(clicked.isEmpty());
    EXPECT_TRUE(pressed.isEmpty());

    QTest::mouseClick(t.strip->viewport(), Qt::LeftButton, {}, box.center(), 600);
    EXPECT_TRUE(t.steps.field(2, FieldCheck).isEmpty());
    EXPECT_FALSE(readBytes(t.folder + "OpList.txt").contains(toShiftJis(kCheckMark)));

    // The picture part selects instead.
    const QRect panel = t.strip->panelRect(3);
    QTest::mouseClick(t.strip->viewport(), Qt::LeftButton, {}, panel.topLeft() + QPoint(20, 10),
                      600);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(t.steps.field(3, FieldCheck).isEmpty());

    t.strip->setAllMarks(true);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(t.steps.field(i, FieldCheck), kCheckMark);
    EXPECT_EQ(readBytes(t.folder + "OpList.txt").count(toShiftJis(kCheckMark)), 3);
    t.strip->setAllMarks(false);
    EXPECT_FALSE(readBytes(t.folder + "OpList.txt").contains(toShiftJis(kCheckMark)));
}

TEST(ThumbnailStrip, SelectingAStepScrollsItToTheLastShownPanel) {
    Strip t(100);
    const int panel = t.strip->panelSize().width();
    // 5.2 panels: five shown.
    t.strip->resize(panel * 5 + panel / 5 + 2 * t.strip->frameWidth(),
                    t.strip->sizeHint().height());
    QApplication::processEvents();
    ASSERT_EQ(t.strip->shownPanelCount(), 5);
    t.strip->showStep(20);
    EXPECT_EQ(t.strip->firstStep(), 16);
    EXPECT_EQ(t.strip->indexAt(QPoint(3, 10)).row() + 1, 16);
    EXPECT_FALSE(t.strip->panelRect(20).isEmpty());
    EXPECT_TRUE(t.strip->panelRect(15).isEmpty());
    t.strip->showStep(3);
    EXPECT_EQ(t.strip->firstStep(), 1);
    t.strip->showStep(100);
    EXPECT_EQ(t.strip->firstStep(), 96);
    EXPECT_TRUE(t.strip->viewport()->rect().contains(t.strip->panelRect(100)));
    // The scroll position is the first step, also when set from outside.
    t.strip->setFirstStep(40);
    EXPECT_EQ(t.strip->indexAt(QPoint(3, 10)).row() + 1, 40);
    // The wheel scrolls the row sideways.
    QWheelEvent wheel(QPointF(20, 20), t.strip->viewport()->mapToGlobal(QPointF(20, 20)), {},
                      {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(t.strip->viewport(), &wheel);
    EXPECT_GT(t.strip->firstStep(), 40);
}

TEST(ThumbnailStrip, ALargeListAsksOnlyForTheShownPanels) {
    Strip t(15000, 900);
    QTest::qWait(50);
    const int shown = t.strip->shownPanelCount();
    EXPECT_GT(t.strip->loader().requestsMade(), 0);
    EXPECT_LE(t.strip->loader().requestsMade(), shown + 1);
    t.strip->setFirstStep(10000);
    t.strip->viewport()->repaint();
    EXPECT_EQ(t.strip->firstStep(), 10000);
    EXPECT_EQ(t.strip->loader().state(stepName(10000)) == ThumbnailLoader::State::Unknown, false);
    EXPECT_LE(t.strip->loader().requestsMade(), 2 * (shown + 1));
    EXPECT_EQ(t.strip->loader().state(stepName(5000)), ThumbnailLoader::State::Unknown);
}

TEST(ThumbnailStrip, ZoomStopsAtItsLimits) {
    Strip t(5);
    const int before = t.strip->panelSize().width();
    EXPECT_TRUE(t.strip->zoom(true, t.dialogs));
    EXPECT_FLOAT_EQ(conf().thumbnailMag, 0.35f * 1.3f);
    EXPECT_GT(t.strip->panelSize().width(), before);
    EXPECT_TRUE(t.dialogs.messages.isEmpty());
    conf().thumbnailMag = 1.69f;
    t.strip->applySettings();
    EXPECT_FALSE(t.strip->zoom(true, t.dialogs));
    EXPECT_FLOAT_EQ(conf().thumbnailMag, 1.69f);
    EXPECT_EQ(t.dialogs.messages, QStringList{QStringLiteral("拡大最大値 2")});
    EXPECT_EQ(t.dialogs.titles, QStringList{QStringLiteral("サムネイルサイズ")});
}
