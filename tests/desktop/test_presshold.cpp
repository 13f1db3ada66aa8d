// The press as it was: the input hook holds each press with a passive grab
// until the screen and the element are taken, then passes it on.
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/presssnapshot.h"
#include "store/sjis.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/desktop/programrun.h"

#include <QFile>
#include <QPushButton>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Presses : HookReceiver {
    QList<InputMessage> presses;
    QList<quint32> codes;
    void hookMessage(const InputMessage& m) override {
        if (m.message != kHookMouse || m.wParam == kMouseMove) return;
        codes << m.wParam;
        if (m.wParam == kLeftDown || m.wParam == kLeftDblClk) presses << m;
    }
};

// Another X client: grabs the pointer itself, or tries the press grab.
class OtherClient {
public:
    OtherClient() : m_display(XOpenDisplay(nullptr)) {
        XSetErrorHandler([](Display*, XErrorEvent* e) {
            s_lastError = e->error_code;
            return 0;
        });
    }
    ~OtherClient() {
        if (m_display) XCloseDisplay(m_display);
    }
    // Whether button 1 on the root window can be grabbed (nobody else holds it).
    bool canGrabRootButton() {
        s_lastError = 0;
        const Window root = DefaultRootWindow(m_display);
        XGrabButton(m_display, Button1, AnyModifier, root, False, ButtonPressMask, GrabModeAsync,
                    GrabModeAsync, None, None);
        XSync(m_display, False);
        const bool ok = s_lastError == 0;
        XUngrabButton(m_display, Button1, AnyModifier, root);
        XSync(m_display, False);
        return ok;
    }
    // Holds button 1 on the root window until the client goes.
    bool grabRootButton() {
        s_lastError = 0;
        XGrabButton(m_display, Button1, AnyModifier, DefaultRootWindow(m_display), False,
                    ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None);
        XSync(m_display, False);
        return s_lastError == 0;
    }
    // An active grab, as an open menu takes.
    bool grabPointer() {
        const Window root = DefaultRootWindow(m_display);
        const int r = XGrabPointer(m_display, root, False, ButtonPressMask | ButtonReleaseMask,
                                   GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        XSync(m_display, False);
        return r == GrabSuccess;
    }
    void ungrabPointer() {
        XUngrabPointer(m_display, CurrentTime);
        XSync(m_display, False);
    }

private:
    static inline int s_lastError = 0;
    Display* m_display;
};

class PressHold : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fixture.start());
        ASSERT_TRUE(input.isOpen());
        desktop.setForegroundWindow(fixture.window());
        pause(200);
    }
    void TearDown() override { hook.ResetHook(); }

    void tap() {
        input.button(MouseButton::Left, true);
        input.button(MouseButton::Left, false);
    }

    // A fixture of its own: the patch changes colour at every release.
    FixtureApp fixture{{QStringLiteral("--cycle-patch"), QStringLiteral("--pos"),
                        QStringLiteral("60,60"), QStringLiteral("--title"),
                        QStringLiteral("Hold Fixture")}};
    x11::X11Desktop desktop;
    x11::X11SyntheticInput input;
    x11::X11InputHook hook;
    Presses collector;
};

QColor patchColour(int releases) {
    return QColor::fromHsv((releases * 47) % 360, 255, 255);
}

int hueDistance(int a, int b) {
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

} // namespace

TEST_F(PressHold, EveryInstantClickIsPictureAsItWasAndStillReachesTheApplication) {
    const QRect patch = fixture.geometry("patch");
    input.moveTo(patch.center());
    pause(150);
    ASSERT_TRUE(hook.SetHook(&collector, 0));
    constexpr int kClicks = 12;
    for (int i = 0; i < kClicks; ++i) {
        // Never twice at one point: no double clicks.
        input.moveTo(patch.topLeft() + QPoint(12 + i * 4, 12 + (i % 2) * 10));
        pause(60);
        tap(); // press and release in one instant
        // Painted before the next press: a slow fixture would otherwise still
        // show the colour before, rightly pictured so.
        ASSERT_TRUE(fixture.waitForLine(QStringLiteral("patch %1").arg(i + 1)));
        pause(40);
    }
    ASSERT_TRUE(waitUntil([&] { return collector.presses.size() >= kClicks; }));
    // The application got every press and release, in order.
    ASSERT_TRUE(fixture.waitForLine(QStringLiteral("patch %1").arg(kClicks)));
    for (int i = 0; i < kClicks; ++i) {
        const InputMessage& m = collector.presses[i];
        ASSERT_TRUE(m.snapshot) << i;
        EXPECT_EQ(m.snapshot->hold, PressSnapshot::Hold::Held) << i;
        // The picture shows the patch before this click's release changed it.
        const QColor seen = m.snapshot->screen.pixelColor(patch.topLeft() + QPoint(4, 4));
        EXPECT_LE(hueDistance(seen.hue(), patchColour(i).hue()), 10)
            << "click " << i << " saw hue " << seen.hue();
        EXPECT_EQ(m.snapshot->windowAt != 0, true);
        EXPECT_FALSE(m.snapshot->cursor.image.isNull());
    }
    // Keys still go where they went: the keyboard was never left frozen.
    input.moveTo(fixture.centre("名前"));
    pause(100);
    input.button(MouseButton::Left, true);
    pause(50);
    input.button(MouseButton::Left, false);
    pause(150);
    for (int vk : {72, 73}) {
        input.sendKey(vk, false);
        input.sendKey(vk, true);
    }
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("text hi")));
}

TEST_F(PressHold, DoubleClicksStillReachTheApplicationAsDoubleClicks) {
    input.moveTo(fixture.centre("OK"));
    pause(150);
    ASSERT_TRUE(hook.SetHook(&collector, 0));
    const qsizetype before = fixture.lines().count("clicked OK");
    tap();
    pause(30);
    tap();
    ASSERT_TRUE(waitUntil([&] { return collector.codes.size() >= 4; }));
    EXPECT_EQ(collector.codes, (QList<quint32>{kLeftDown, kLeftUp, kLeftDblClk, kLeftUp}));
    EXPECT_TRUE(waitUntil([&] { return fixture.lines().count("clicked OK") >= before + 2; }));
}

TEST_F(PressHold, APressUnderAnotherClientsGrabIsRecordedUnheld) {
    input.moveTo(fixture.centre("patch"));
    pause(100);
    ASSERT_TRUE(hook.SetHook(&collector, 0));
    OtherClient menu;
    ASSERT_TRUE(menu.grabPointer());
    tap();
    ASSERT_TRUE(waitUntil([&] { return collector.presses.size() >= 1; }));
    ASSERT_TRUE(collector.presses[0].snapshot);
    EXPECT_EQ(collector.presses[0].snapshot->hold, PressSnapshot::Hold::NotHeld);
    EXPECT_FALSE(collector.presses[0].snapshot->notHeldReason.isEmpty());
    EXPECT_FALSE(collector.presses[0].snapshot->screen.isNull());
    menu.ungrabPointer();
    input.moveTo(fixture.centre("patch") + QPoint(6, 0));
    pause(60);
    tap();
    ASSERT_TRUE(waitUntil([&] { return collector.presses.size() >= 2; }));
    EXPECT_EQ(collector.presses[1].snapshot->hold, PressSnapshot::Hold::Held);
}

TEST_F(PressHold, OurOwnWindowsWorkAndTheGrabEndsWithTheHook) {
    QPushButton button(QStringLiteral("自分"));
    int clicked = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicked; });
    button.setGeometry(700, 500, 120, 40);
    button.show();
    ASSERT_TRUE(waitUntil([&] { return button.isVisible(); }));
    pause(300);
    OtherClient other;
    ASSERT_TRUE(hook.SetHook(&collector, 0));
    EXPECT_FALSE(other.canGrabRootButton()); // the press grab is ours
    input.moveTo(button.mapToGlobal(button.rect().center()));
    pause(100);
    input.button(MouseButton::Left, true);
    pause(40);
    input.button(MouseButton::Left, false);
    ASSERT_TRUE(waitUntil([&] { return clicked == 1; }));
    ASSERT_TRUE(waitUntil([&] { return !collector.presses.isEmpty(); }));
    ASSERT_TRUE(collector.presses[0].snapshot);
    EXPECT_EQ(collector.presses[0].snapshot->hold, PressSnapshot::Hold::OwnWindow);
    EXPECT_TRUE(collector.presses[0].snapshot->screen.isNull());
    hook.ResetHook();
    EXPECT_TRUE(other.canGrabRootButton());
}

static QString programLog(const ProgramRun& program) {
    QFile f(program.path(QStringLiteral("log.txt")));
    return f.open(QIODevice::ReadOnly) ? fromShiftJis(f.readAll()) : QString();
}

TEST(PressHoldProgram, AKilledProgramLeavesNoGrabBehind) {
    ProgramRun program;
    ASSERT_TRUE(program.start({QStringLiteral("-auto")}));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(program.path(QStringLiteral("wait"))); },
                          15000))
        << "recording never began";
    OtherClient other;
    ASSERT_TRUE(waitUntil([&] { return !other.canGrabRootButton(); }, 10000))
        << "the press grab was never taken; the log:\n"
        << programLog(program).toStdString();
    program.process().kill();
    ASSERT_TRUE(program.process().waitForFinished(5000));
    EXPECT_TRUE(waitUntil([&] { return other.canGrabRootButton(); }, 5000))
        << "the grab outlived the program";
}

TEST(PressHoldProgram, AButtonGrabOfAnotherProgramIsSaidOnce) {
    OtherClient other;
    ASSERT_TRUE(other.grabRootButton());
    ProgramRun program;
    ASSERT_TRUE(program.start({QStringLiteral("-auto")}));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(program.path(QStringLiteral("wait"))); },
                          15000));
    const QString said = QStringLiteral("クリックの瞬間を撮影できません：");
    ASSERT_TRUE(waitUntil([&] { return programLog(program).contains(said); }, 5000))
        << programLog(program).toStdString();
    EXPECT_EQ(programLog(program).count(said), 1);
    program.process().kill();
    program.process().waitForFinished(5000);
}

TEST_F(PressHold, AStopRightAfterAPressStillHandsItOn) {
    input.moveTo(fixture.geometry("patch").center());
    pause(150);
    ASSERT_TRUE(hook.SetHook(&collector, 0));
    tap();
    // The server has taken the press (the stop cannot know of one it has
    // not), but no event loop in between: the stop comes before the press
    // was delivered.
    input.sync();
    hook.finishPending(3000);
    hook.ResetHook();
    ASSERT_EQ(collector.presses.size(), 1);
    EXPECT_TRUE(collector.presses[0].snapshot);
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("patch 1")));
}
