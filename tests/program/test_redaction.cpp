// Manual redaction in the shipped program: a box dragged on the picture is
// burnt into the step's picture, its unmarked copy and its thumbnail.
#include "store/capturefolder.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"
#include "tests/program/stepfolder.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// Pixels of `r` that are not `colour` (within JPEG's rounding).
int offPixels(const QImage& image, const QRect& r, const QColor& colour) {
    int off = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!similarColour(image.pixelColor(x, y), colour, 8)) ++off;
    return off;
}

// The bounding box of the black pixels.
QRect blackBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (similarColour(image.pixelColor(x, y), Qt::black, 8))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

} // namespace

TEST(Redaction, ABoxOnThePictureIsBurntIntoEveryCopyAfterTheQuestion) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(s.select(7));
    const QString name = stepName(7);
    const QString image = s.folder() + name + QStringLiteral(".jpg");
    const QString noRect = s.folder() + QStringLiteral("NO_RECT/") + name + QStringLiteral(".jpg");
    const QString thumb = thumbnailPath(s.folder(), name);
    const QByteArray before = readBytes(image);

    // Cancel changes nothing.
    const UiElement viewer = s.viewer();
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("範囲を塗りつぶす")));
    const QPoint from = viewer.rect.topLeft() + QPoint(10, 10);
    s.ui().drag(from, from + QPoint(60, 40));
    const QString question = s.dialogText(QStringLiteral("塗りつぶし"));
    EXPECT_TRUE(question.contains(QStringLiteral("元に戻せません"))) << question.toStdString();
    ASSERT_TRUE(s.answer(QStringLiteral("塗りつぶし"), Answer::Cancel));
    pause(300);
    EXPECT_EQ(readBytes(image), before);

    // Ok: the box is in all three files.
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("範囲を塗りつぶす")));
    s.ui().drag(from, from + QPoint(60, 40));
    ASSERT_TRUE(s.answer(QStringLiteral("塗りつぶし"), Answer::Ok));
    ASSERT_TRUE(waitUntil([&] { return readBytes(image) != before; }, 5000));
    pause(300);
    const QImage full(image);
    ASSERT_FALSE(full.isNull());
    // The picture is one colour: the black box is what was burnt in. Its
    // inside is uniform (bar a JPEG block's rounding at the edges) in every copy.
    const QRect box = blackBox(full);
    ASSERT_GE(box.width(), 20);
    ASSERT_GE(box.height(), 12);
    const QRect inner = box.adjusted(1, 1, -1, -1);
    EXPECT_EQ(offPixels(full, inner, Qt::black), 0);
    EXPECT_EQ(offPixels(QImage(noRect), inner, Qt::black), 0);
    const QImage small(thumb);
    ASSERT_FALSE(small.isNull());
    const double t = double(small.width()) / full.width();
    EXPECT_EQ(offPixels(small,
                        QRect(int(inner.left() * t) + 4, int(inner.top() * t) + 4,
                              int(inner.width() * t) - 8, int(inner.height() * t) - 8),
                        Qt::black),
              0);
    // Outside the box the step keeps its colour.
    EXPECT_TRUE(similarColour(full.pixelColor(full.width() - 5, full.height() - 5), stepColour(7)));
    EXPECT_EQ(s.ran(), QStringList({"mnuPicListRedact", "mnuPicListRedact"}));
    EXPECT_TRUE(s.close());
}
