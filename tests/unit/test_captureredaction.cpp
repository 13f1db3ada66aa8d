#include "capture/getimage.h"
#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakescreen.h"
#include "platform/screentext.h"
#include "redact/captureredaction.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "testutil.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class NoElement : public ElementRectSource {
public:
    ScreenRect elementRectAt(QPoint) override { return {}; }
};

// Answers with fixed texts; a budget of 0 leaves them all unread.
class FixedTexts : public ScreenTextSource {
public:
    ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                           int budgetMs) override {
        ++asked;
        askedPoint = point;
        askedArea = area;
        ScreenTextScan scan;
        scan.unread = unread;
        scan.timedOut = timedOut;
        for (const ScreenText& t : texts)
            if (t.password || rules.matches(t.text)) scan.texts.push_back(t);
        scan.plainFields = plainFields;
        (void)budgetMs;
        return scan;
    }
    ScreenTextScan textsLeft(const ScreenTextLeft& left, const RedactionRules& rules,
                             int budgetMs) override {
        ++goneOn;
        return ScreenTextSource::textsLeft(left, rules, budgetMs);
    }
    std::vector<ScreenText> texts;
    std::vector<QRect> plainFields;
    int goneOn = 0;
    int unread = 0;
    bool timedOut = false;
    int asked = 0;
    QPoint askedPoint;
    QRect askedArea;
};

struct Scene {
    ScratchHome home;
    FakeDesktop desktop;
    FakeScreen screen{{800, 600}};
    NoElement element;
    FakeDialogs dialogs;
    FixedTexts texts;
    CaptureRedaction redaction{&texts};
    CaptureEngine engine{desktop, screen, screen, element, dialogs};

    Scene() {
        screen.pixels().fill(Qt::white);
        desktop.setScreenSize({800, 600});
        desktop.setPointer({400, 300});
        engine.redact = [this](QImage& image, const QRect& area, QPoint p) {
            redaction.apply(image, area, p);
        };
        texts.texts = {{QRect(300, 200, 60, 12), QStringLiteral("a@example.jp"), false},
                       {QRect(300, 240, 60, 12), QStringLiteral("****"), true},
                       {QRect(300, 280, 60, 12), QStringLiteral("送信"), false}};
        conf().copyToClipboard = 1;
    }
};

bool boxed(const QImage& image, QPoint at) {
    return image.pixel(at) == qRgb(0, 0, 0);
}

} // namespace

TEST(CaptureRedaction, EveryCopyOfThePictureIsRedactedBeforeItIsMade) {
    Scene s;
    const CaptureResult r = s.engine.GetImage("around", "Left", true, true, true);
    ASSERT_EQ(r.result, QString());
    EXPECT_EQ(s.texts.askedArea, QRect(250, 200, 300, 300));
    EXPECT_EQ(s.texts.askedPoint, QPoint(400, 300));
    // (300, 200) on the screen is (50, 0) in the picture.
    for (const QImage* image : {&r.image, &r.unmarked}) {
        EXPECT_TRUE(boxed(*image, {80, 5}));   // the address
        EXPECT_TRUE(boxed(*image, {80, 45}));  // the password field
        EXPECT_FALSE(boxed(*image, {80, 85})); // the caption stays
    }
    const QImage clip = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(clip.isNull());
    EXPECT_EQ(clip.pixel(80, 5) & 0xFFFFFF, 0u);
}

TEST(CaptureRedaction, OffOrUnreadLeavesAClearLogWithoutTheText) {
    Scene s;
    conf().redact = 0;
    CaptureResult r = s.engine.GetImage("around", "Left", true, true, false);
    EXPECT_FALSE(boxed(r.image, {80, 5}));

    conf().redact = 1;
    s.texts.unread = 7;
    r = s.engine.GetImage("around", "Left", true, true, false);
    EXPECT_TRUE(boxed(r.image, {80, 5}));
    const QString log = QString::fromUtf8(readBytes(s.home.path(QStringLiteral("log.txt"))));
    EXPECT_TRUE(log.contains(QStringLiteral("7"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("example")));

    // A window not even listed in time: said so, and the picture is still made.
    s.texts.unread = 0;
    s.texts.timedOut = true;
    s.texts.texts.clear();
    r = s.engine.GetImage("around", "Left", true, true, false);
    EXPECT_FALSE(r.image.isNull());
    EXPECT_TRUE(fromShiftJis(readBytes(s.home.path(QStringLiteral("log.txt"))))
                    .contains(QStringLiteral("時間内に画面の文字を読めませんでした")));

    // No source at all: nothing can be found, said once.
    CaptureRedaction blind(nullptr);
    QImage image(10, 10, QImage::Format_RGB32);
    EXPECT_EQ(blind.apply(image, QRect(0, 0, 10, 10), {}), 0);
    EXPECT_EQ(blind.apply(image, QRect(0, 0, 10, 10), {}), 0);
}

TEST(CaptureRedaction, TextsReadAtThePressAreUsedAndReadAgainOnlyWhenIncomplete) {
    // The window now holds only the caption; at the press it showed an address.
    FixedTexts now;
    now.texts = {{QRect(0, 40, 20, 10), QStringLiteral("b@example.jp"), false}};
    CaptureRedaction redaction(&now);
    ScreenTextScan atPress;
    atPress.texts = {{QRect(0, 0, 20, 10), QStringLiteral("a@example.jp"), false}};
    const auto fresh = [] {
        QImage image(60, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    };

    // Complete: the window is not read again, the box is where the picture has it.
    QImage image = fresh();
    EXPECT_EQ(redaction.apply(image, QRect(0, 0, 60, 60), {}, &atPress), 1);
    EXPECT_EQ(now.asked, 0);
    EXPECT_TRUE(boxed(image, {10, 5}));
    EXPECT_FALSE(boxed(image, {10, 45}));

    // Incomplete: what the press left unread is read now, and both are covered.
    for (const bool timedOut : {false, true}) {
        atPress.unread = timedOut ? 0 : 3;
        atPress.timedOut = timedOut;
        image = fresh();
        EXPECT_EQ(redaction.apply(image, QRect(0, 0, 60, 60), {}, &atPress), 2);
        EXPECT_TRUE(boxed(image, {10, 5}));
        EXPECT_TRUE(boxed(image, {10, 45}));
    }
    EXPECT_EQ(now.asked, 2);
    EXPECT_EQ(now.goneOn, 0);

    // What the press left to go on with is handed to the source (one that
    // keeps nothing of a scan reads the window at the press's point again).
    auto left = std::make_shared<ScreenTextLeft>();
    left->point = QPoint(7, 8);
    left->area = QRect(0, 0, 60, 60);
    atPress.unread = 3;
    atPress.timedOut = false;
    atPress.left = left;
    image = fresh();
    EXPECT_EQ(redaction.apply(image, QRect(0, 0, 60, 60), {}, &atPress), 2);
    EXPECT_EQ(now.goneOn, 1);
    EXPECT_EQ(now.asked, 3);
    EXPECT_EQ(now.askedPoint, QPoint(7, 8));
    EXPECT_TRUE(boxed(image, {10, 45}));
}

// A field boxed at the press only because its label did not answer in time
// is left clear once the reading after the press finds it, in the same
// place, with a label that says no password; one it does not find there
// stays boxed, and so does a field that is a password for sure.
TEST(CaptureRedaction, AFieldBoxedForWantOfTimeIsSettledByTheNextReading) {
    const QRect settled(0, 0, 20, 10), gone(0, 20, 20, 10), sure(0, 40, 20, 10);
    FixedTexts now;
    now.plainFields = {settled, sure};
    CaptureRedaction redaction(&now);
    ScreenTextScan atPress;
    atPress.texts = {{settled, QString(), true, true},
                     {gone, QString(), true, true},
                     {sure, QString(), true, false}};
    atPress.unread = 2;
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    EXPECT_EQ(redaction.apply(image, QRect(0, 0, 60, 60), {}, &atPress), 2);
    EXPECT_EQ(now.asked, 1);
    EXPECT_FALSE(boxed(image, {10, 5}));
    EXPECT_TRUE(boxed(image, {10, 25}));
    EXPECT_TRUE(boxed(image, {10, 45}));
}
