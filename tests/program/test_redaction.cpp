// Redaction in the shipped program: a recording of a form full of personal
// data leaves none of it anywhere in clear; a box dragged on the picture is
// burnt into the step's picture, its unmarked copy and its thumbnail.
#include "platform/x11/x11screencopy.h"
#include "store/capturefolder.h"
#include "store/stepline.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"
#include "tests/program/stepfolder.h"

#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

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

// The values of the form (tests/fixture/gtk_privateform.py) and the address
// typed into it, as a program would write them: ASCII (so also UTF-8 and
// Shift-JIS) and UTF-16.
const char* const kPrivate[] = {"taro.yamada",      "090-1234-5678", "09012345678", "4111 1111",
                                "4111111111111111", "Hunter2Secret", "hanako"};

QStringList leaks(const QByteArray& bytes) {
    QStringList found;
    for (const char* value : kPrivate) {
        const QString v = QString::fromLatin1(value);
        const QByteArray wide(reinterpret_cast<const char*>(v.utf16()), v.size() * 2);
        if (bytes.contains(value) || bytes.contains(wide)) found << v;
    }
    return found;
}

// Every file below `folder`, read whole, with the values it holds.
QStringList leaksBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        for (const QString& value : leaks(readBytes(path)))
            found << path + QStringLiteral(": ") + value;
    }
    return found;
}

// Recording started from the menu, appending to the list, until it waits
// for the first click.
bool startRecording(ProgramSession& s) {
    return s.menu(QStringLiteral("記録"), QStringLiteral("開始")) &&
           s.answer(QStringLiteral("削除確認"), Answer::No) &&
           waitUntil([&] { return QFile::exists(s.home() + "/wait"); }, 8000);
}

// The end hot key, and the list grown to `lines` steps.
bool stopRecording(ProgramSession& s, int lines) {
    s.ui().key(QStringLiteral("Ctrl+Shift+e"));
    return waitUntil([&] { return !QFile::exists(s.home() + "/wait"); }, 8000) &&
           waitUntil([&] { return opListLines(s.folder()).size() >= lines; }, 8000);
}

} // namespace

TEST(Redaction, RecordingPersonalDataLeavesItNowhereInClear) {
    // The program's temporary files go to a folder of this test's own.
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    FixtureApp form(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(KLAVORO_GTK_PRIVATEFORM), QStringLiteral("20,20")});
    ASSERT_TRUE(form.start());
    ProgramSession s(
        ProgramSession::conf({QStringLiteral("target = 1"), QStringLiteral("no rect file = 1"),
                              QStringLiteral("copy to clipboard = 1")}));
    qputenv("TMPDIR", oldTemp);
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(startRecording(s));
    s.ui().click(form.centre(QStringLiteral("typed")));
    pause(300);
    s.ui().type(QStringLiteral("hanako@example.jp"));
    ASSERT_TRUE(form.waitForLine(QStringLiteral("typed length 17")));
    s.ui().click(form.centre(QStringLiteral("button")));
    EXPECT_TRUE(form.waitForLine(QStringLiteral("clicked Submit")));
    pause(400);
    ASSERT_TRUE(stopRecording(s, 33));
    // The typed address is a step, masked.
    const QStringList lines = opListLines(s.folder());
    QStringList sentences;
    bool masked = false;
    for (int i = 30; i < lines.size(); ++i) {
        sentences << lineField(lines[i], FieldMessage);
        masked = masked || sentences.last().endsWith(QStringLiteral("\"●●●●\"を入力します。"));
    }
    EXPECT_TRUE(masked) << sentences.join(u'\n').toStdString();

    // While the program runs: its status block and what it put on the clipboard.
    EXPECT_EQ(leaks(readBytes(QStringLiteral("/dev/shm/") + s.run().statusName())), QStringList());
    EXPECT_EQ(leaks(QGuiApplication::clipboard()->text().toUtf8()), QStringList());

    // A box drawn on the picture recording has just shown (from memory, not
    // its file) is on the picture at once: over the button, which is clear.
    QRect box;
    x11::X11ScreenCopy screen;
    const auto blackPixels = [&] {
        const QImage shot = screen.copy(box.adjusted(5, 5, -5, -5));
        int black = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                black += similarColour(shot.pixelColor(x, y), Qt::black, 8) ? 1 : 0;
        return black;
    };
    const int area = 40 * 10;
    // The window comes back from its minimised state after the stop, and on a
    // busy machine is placed and painted a moment later (the root behind it
    // is black): the view is looked for until the button shows there.
    ASSERT_TRUE(waitUntil(
        [&] {
            const UiElement viewer = s.viewer();
            if (!viewer) return false;
            box = QRect(viewer.rect.topLeft() + QPoint(110, 85), QSize(50, 20));
            return blackPixels() < area;
        },
        8000))
        << "the button is not where the box goes";
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("範囲を塗りつぶす")));
    s.ui().drag(box.topLeft(), box.bottomRight());
    ASSERT_TRUE(s.answer(QStringLiteral("塗りつぶし"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return blackPixels() == area; }, 5000))
        << blackPixels() << " of " << area;
    EXPECT_TRUE(s.close());
    // After it: every file it wrote (logs, OpList.txt, Conf.txt, pictures) and
    // every temporary file it left.
    EXPECT_EQ(leaksBelow(s.home()), QStringList());
    EXPECT_EQ(leaksBelow(temp.path()), QStringList());
}

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

TEST(Redaction, TextGoneAtThePressIsCoveredInThePictureOfThePress) {
    // The whole screen as the picture, scaled as a whole.
    FixtureApp form(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(KLAVORO_GTK_PRIVATEFORM), QStringLiteral("20,20"),
                     QStringLiteral("--clear")});
    ASSERT_TRUE(form.start());
    ProgramSession s(
        ProgramSession::conf({QStringLiteral("target = 2"), QStringLiteral("no rect file = 1")}));
    ASSERT_TRUE(s.ready());
    ASSERT_TRUE(startRecording(s));
    // The application replaces the address at the press itself, so every
    // reading of the window after the press finds nothing to cover.
    s.ui().click(form.centre(QStringLiteral("clear")));
    ASSERT_TRUE(form.waitForLine(QStringLiteral("pressed Clear")));
    pause(400);
    ASSERT_TRUE(stopRecording(s, 31));
    const QString name = opListLines(s.folder()).value(30).section('\t', 1, 1).trimmed();
    const QRect sent = form.geometry(QStringLiteral("sent"));
    for (const QString& file :
         {s.folder() + name + QStringLiteral(".jpg"),
          s.folder() + QStringLiteral("NO_RECT/") + name + QStringLiteral(".jpg")}) {
        const QImage picture(file);
        ASSERT_FALSE(picture.isNull()) << file.toStdString();
        const double k = double(picture.width()) / x11::X11ScreenCopy().screenSize().width();
        const QRect at(int(sent.x() * k), int(sent.y() * k), int(sent.width() * k),
                       int(sent.height() * k));
        // Glyphs alone darken a tenth of a line of text; the box over the
        // address (most of the line) far more.
        const int area = at.width() * at.height();
        const int open = offPixels(picture, at, Qt::black);
        EXPECT_GT(area - open, area * 2 / 5)
            << file.toStdString() << ": " << area - open << " black of " << area;
    }
    EXPECT_TRUE(s.close());
}
