// Steps from presses that the input hook took a snapshot of: the picture,
// the pointer, the windows and the element are those of the snapshot, never
// what the desktop shows by the time the GUI thread gets to the press.
#include "record/presssnapshot.h"
#include "record/steppipeline.h"
#include "recordingrig.h"
#include "store/capturefolder.h"
#include "store/sjis.h"
#include "store/stepline.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Forward : HookReceiver {
    StepPipeline* pipeline = nullptr;
    void hookMessage(const InputMessage& m) override { pipeline->handleMessage(m); }
};

class Snapshots : public ::testing::Test, protected RecordingRig {
protected:
    Snapshots() {
        forward.pipeline = &pipeline;
        hook.SetHook(&forward, 0);
        pipeline.start(0);
        conf().noRectFile = 1; // the unmarked copy shows the screen alone
    }

    // The desktop at a press in window kApp: a red screen and a button "保存".
    std::shared_ptr<PressSnapshot> snapshotAt(QPoint p, PressSnapshot::Hold hold) {
        auto s = std::make_shared<PressSnapshot>();
        s->hold = hold;
        s->point = p;
        s->screenSize = QSize(1280, 1024);
        s->screen = QImage(s->screenSize, QImage::Format_RGB32);
        s->screen.fill(Qt::red);
        s->screenArea = QRect(QPoint(0, 0), s->screenSize);
        s->desktopWindow = FakeDesktop::kDesktopWindow;
        s->windowAt = kApp;
        WindowFact app;
        app.id = app.topLevel = kApp;
        app.rect = {0, 0, 800, 600};
        app.className = QStringLiteral("App");
        app.title = QStringLiteral("エディター");
        app.processId = 5;
        s->windows << app;
        s->elementFound = true;
        s->element.name = QStringLiteral("保存");
        s->element.roleNumber = QStringLiteral("43");
        s->element.roleText = QStringLiteral("ボタン");
        s->element.parentName = QStringLiteral("保存");
        s->element.parentRoleText = QStringLiteral("ウィンドウ");
        s->element.left = p.x() - 20;
        s->element.top = p.y() - 10;
        s->element.width = 40;
        s->element.height = 20;
        s->elementKey = QStringLiteral("save");
        return s;
    }

    bool deliver(quint32 code, QPoint p, std::shared_ptr<const PressSnapshot> s = nullptr,
                 quint32 lParam = 0) {
        InputMessage m;
        m.message = kHookMouse;
        m.wParam = code;
        m.lParam = lParam;
        m.pt = p;
        m.snapshot = std::move(s);
        return hook.deliver(m);
    }

    void settle() { pipeline.committer().finish(); }
    QString sentence(int n) const { return steps.field(n, FieldMessage); }
    QImage unmarked(int n) const {
        return QImage(captureFolder() + QStringLiteral("NO_RECT/") +
                      steps.field(n, FieldImageName) + '.' + steps.field(n, FieldExtension));
    }
    QString exeLog() const { return fromShiftJis(readBytes(home.path("log_exe.txt"))); }

    StepPipeline pipeline{services, poller, steps, ops, host, options};
    Forward forward;
};

} // namespace

TEST_F(Snapshots, APressIsDescribedAsTheSnapshotSawItNotAsTheDesktopIsNow) {
    // By the time the message is handled the application has reacted: the
    // screen turned blue and the element under the point is another one.
    screen.pixels().fill(Qt::blue);
    const QPoint p = okCentre();
    for (int target : {0, 1, 3}) {
        conf().target = target;
        ASSERT_TRUE(deliver(kLeftDown, p, snapshotAt(p, PressSnapshot::Hold::Held)));
        deliver(kLeftUp, p);
    }
    settle();
    ASSERT_EQ(steps.count(), 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(sentence(n), "[保存](ボタン)を、クリックします。") << n;
        const QImage image = unmarked(n);
        ASSERT_FALSE(image.isNull()) << n;
        EXPECT_GT(image.pixelColor(2, 2).red(), 200) << n;
        EXPECT_LT(image.pixelColor(2, 2).blue(), 60) << n;
    }
    // Nothing was asked of the live accessibility service.
    EXPECT_EQ(access.pointQueries, 0);
    // A held press is nothing to note.
    EXPECT_FALSE(exeLog().contains(QStringLiteral("保留")));
}

TEST_F(Snapshots, AWindowThatTheClickClosedStillGivesTheWindowTarget) {
    conf().target = 1; // "window": the window's rectangle comes from the snapshot
    desktop.removeWindow(kApp);
    const QPoint p(400, 300);
    deliver(kLeftDown, p, snapshotAt(p, PressSnapshot::Hold::Held));
    settle();
    ASSERT_EQ(steps.count(), 1);
    // The application's 800 x 600 window cut to the 600 x 400 maximum.
    EXPECT_EQ(unmarked(1).size(), QSize(600, 400));
}

TEST_F(Snapshots, UnheldPressesAndSilentApplicationsAreNotedInTheExecutionLog) {
    const QPoint p = okCentre();
    auto s = snapshotAt(p, PressSnapshot::Hold::NotHeld);
    s->notHeldReason = QStringLiteral("another program holds the pointer");
    s->elementTimedOut = true;
    deliver(kLeftDown, p, s);
    settle();
    ASSERT_EQ(steps.count(), 1); // recorded all the same
    const QString log = exeLog();
    EXPECT_TRUE(log.contains(QStringLiteral("押下を保留できませんでした (140,112)")));
    EXPECT_TRUE(log.contains(QStringLiteral("another program holds the pointer")));
    EXPECT_TRUE(log.contains(QStringLiteral("要素の情報が時間内に得られませんでした")));
}

TEST_F(Snapshots, APressOnOurOwnWindowIsDroppedWithoutAnyQuestion) {
    auto s = std::make_shared<PressSnapshot>();
    s->hold = PressSnapshot::Hold::OwnWindow;
    s->point = QPoint(1000, 100);
    deliver(kLeftDown, s->point, s);
    settle();
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(access.pointQueries, 0);
}

TEST_F(Snapshots, ANamelessElementIsNamedByItsRoleAndWindow) {
    const QPoint p = okCentre();
    auto s = snapshotAt(p, PressSnapshot::Hold::Held);
    s->element.name.clear();
    s->element.parentName.clear();
    s->element.roleNumber = QStringLiteral("42");
    s->element.roleText = QStringLiteral("テキスト");
    s->element.windowTitle = QStringLiteral("無題 - エディター");
    deliver(kLeftDown, p, s);
    settle();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(sentence(1), "[無題 - エディター]の(テキスト)を、クリックします。");
}

TEST_F(Snapshots, ADragIsMeasuredFromItsPressWhateverCameBetween) {
    const QPoint from(300, 300);
    deliver(kLeftDown, from, snapshotAt(from, PressSnapshot::Hold::Held));
    // The press activated the window: its message carries a later point.
    hook.activate(kApp);
    // The button has long been released by the time these are handled: the
    // moves say themselves that it was held (MK_LBUTTON).
    deliver(kMouseMove, from + QPoint(30, 0), nullptr, 0x01);
    deliver(kLeftUp, from + QPoint(40, 0), snapshotAt(from + QPoint(40, 0),
                                                      PressSnapshot::Hold::NotHeld));
    // A right drag the same way.
    deliver(kRightDown, from, snapshotAt(from, PressSnapshot::Hold::Held));
    deliver(kMouseMove, from + QPoint(0, 12), nullptr, 0x02);
    deliver(kRightUp, from + QPoint(0, 12), snapshotAt(from, PressSnapshot::Hold::NotHeld));
    settle();
    ASSERT_EQ(steps.count(), 4);
    EXPECT_EQ(sentence(2), "[保存](ボタン)を、ドラッグします。");
    EXPECT_EQ(sentence(3), "[保存](ボタン)を、右クリックします。");
    EXPECT_EQ(sentence(4), "[保存](ボタン)を、右ドラッグします。");
}
