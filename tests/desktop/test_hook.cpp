#include "platform/x11/x11desktop.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/eventkind.h"
#include "tests/desktop/fixtureapp.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

struct Collector : HookReceiver {
    QList<InputMessage> messages;
    void hookMessage(const InputMessage& m) override { messages.append(m); }
    WindowId hookWindow() const override { return 42; }

    QList<InputMessage> of(quint32 message) const {
        QList<InputMessage> found;
        for (const InputMessage& m : messages)
            if (m.message == message) found.append(m);
        return found;
    }
    // Mouse codes other than moves, in order.
    QList<quint32> buttonCodes() const {
        QList<quint32> codes;
        for (const InputMessage& m : of(kHookMouse))
            if (m.wParam != kMouseMove) codes.append(m.wParam);
        return codes;
    }
    bool waitForCount(quint32 message, int count, int ms = 3000) {
        return waitUntil([&] { return of(message).size() >= count; }, ms);
    }
};

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        ASSERT_TRUE(input.isOpen()) << input.errorText().toStdString();
        input.button(MouseButton::Left, false);
        desktop.setForegroundWindow(fixture.window());
        pause(100);
    }
    void TearDown() override { hook.ResetHook(); }

    // Moves, lets the application notice, then starts watching.
    void moveAndHook(QPoint p) {
        input.moveTo(p);
        pause(100);
        ASSERT_TRUE(hook.SetHook(&collector, 0)) << hook.errorText().toStdString();
    }
    void click(int holdMs = 100) {
        input.button(MouseButton::Left, true);
        pause(holdMs);
        input.button(MouseButton::Left, false);
    }

    FixtureApp& fixture = sharedFixture();
    x11::X11Desktop desktop;
    x11::X11SyntheticInput input;
    x11::X11InputHook hook;
    Collector collector;
};

} // namespace

TEST_F(HookTest, PressAndReleaseArriveWithPointAndReachTheApplication) {
    const QPoint ok = fixture.centre("OK");
    moveAndHook(ok);
    const qsizetype before = fixture.lines().count("clicked OK");
    click();
    ASSERT_TRUE(collector.waitForCount(kHookMouse, 2));
    const QList<InputMessage> mouse = collector.of(kHookMouse);
    EXPECT_EQ(mouse[0].wParam, kLeftDown);
    EXPECT_EQ(mouse[0].pt, ok);
    EXPECT_EQ(mouse[0].hwnd, 42u);
    EXPECT_EQ(mouse[1].wParam, kLeftUp);
    EXPECT_EQ(mouse[1].pt, ok);
    EXPECT_GE(mouse[1].time - mouse[0].time, 80u);
    EXPECT_LT(mouse[1].time - mouse[0].time, 2000u);
    // No grab: the button still got its click.
    EXPECT_TRUE(waitUntil([&] { return fixture.lines().count("clicked OK") > before; }));
}

TEST_F(HookTest, SecondQuickPressIsDoubleClickAndThirdIsPlainAgain) {
    moveAndHook(fixture.centre("patch"));
    for (int i = 0; i < 3; ++i)
        click(20);
    ASSERT_TRUE(waitUntil([&] { return collector.buttonCodes().size() >= 6; }));
    EXPECT_EQ(collector.buttonCodes(),
              (QList<quint32>{kLeftDown, kLeftUp, kLeftDblClk, kLeftUp, kLeftDown, kLeftUp}));
}

TEST_F(HookTest, PressesFarApartAreNotDoubleClicks) {
    const QPoint p = fixture.centre("patch");
    moveAndHook(p);
    click(20);
    input.moveTo(p + QPoint(10, 0));
    click(20);
    ASSERT_TRUE(waitUntil([&] { return collector.buttonCodes().size() >= 4; }));
    EXPECT_EQ(collector.buttonCodes(), (QList<quint32>{kLeftDown, kLeftUp, kLeftDown, kLeftUp}));
}

TEST_F(HookTest, OtherButtonsHaveTheirOwnCodes) {
    moveAndHook(fixture.centre("patch"));
    input.button(MouseButton::Right, true);
    input.button(MouseButton::Right, false);
    input.button(MouseButton::Middle, true);
    input.button(MouseButton::Middle, false);
    ASSERT_TRUE(waitUntil([&] { return collector.buttonCodes().size() >= 4; }));
    EXPECT_EQ(collector.buttonCodes(),
              (QList<quint32>{kRightDown, kRightUp, kMiddleDown, kMiddleUp}));
    // Close the context menu the right click may have opened.
    input.sendKey(27, false);
    input.sendKey(27, true);
}

TEST_F(HookTest, DragGivesMovesWithTheButtonHeld) {
    const QPoint from = fixture.geometry("patch").topLeft() + QPoint(5, 5);
    moveAndHook(from);
    x11::X11KeyState keys;
    input.button(MouseButton::Left, true);
    ASSERT_TRUE(collector.waitForCount(kHookMouse, 1));
    QList<bool> heldDuringMoves;
    for (int step = 1; step <= 5; ++step) {
        const QPoint to = from + QPoint(step * 10, step * 4);
        input.moveTo(to);
        // Motion not yet read when the next comes in collapses into one move.
        waitUntil([&] { return collector.messages.last().pt == to; }, 1000);
        heldDuringMoves.append((keys.asyncKeyState(1) & kKeyIsDown) != 0);
    }
    input.button(MouseButton::Left, false);
    ASSERT_TRUE(waitUntil([&] { return collector.buttonCodes().size() >= 2; }));
    EXPECT_EQ(collector.buttonCodes(), (QList<quint32>{kLeftDown, kLeftUp}));
    QList<QPoint> moves;
    bool between = false;
    for (const InputMessage& m : collector.of(kHookMouse)) {
        if (m.wParam == kLeftDown)
            between = true;
        else if (m.wParam == kLeftUp)
            between = false;
        else if (between)
            moves.append(m.pt);
    }
    QStringList seen;
    for (const InputMessage& m : collector.messages)
        seen << QStringLiteral("%1/%2 %3,%4")
                    .arg(m.message)
                    .arg(m.wParam)
                    .arg(m.pt.x())
                    .arg(m.pt.y());
    ASSERT_EQ(moves.size(), 5) << seen.join(" ").toStdString();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(moves[i], from + QPoint((i + 1) * 10, (i + 1) * 4));
    EXPECT_EQ(collector.of(kHookMouse).last().pt, from + QPoint(50, 20));
    EXPECT_EQ(heldDuringMoves, QList<bool>(5, true));
}

TEST_F(HookTest, KeysArriveWithVirtualKeysAndReleaseBit) {
    moveAndHook(fixture.centre("名前"));
    click(20);
    for (int vk : {65, 13, 116, 16}) {
        input.sendKey(vk, false);
        input.sendKey(vk, true);
    }
    ASSERT_TRUE(collector.waitForCount(kHookKey, 8));
    const QList<InputMessage> keys = collector.of(kHookKey);
    const int expected[] = {65, 13, 116, 16};
    for (int i = 0; i < 4; ++i) {
        const InputMessage& down = keys[2 * i];
        const InputMessage& up = keys[2 * i + 1];
        EXPECT_EQ(down.wParam, static_cast<quint32>(expected[i]));
        EXPECT_EQ(up.wParam, static_cast<quint32>(expected[i]));
        EXPECT_EQ(down.lParam & kKeyUpFlag, 0u);
        EXPECT_EQ(up.lParam & kKeyUpFlag, kKeyUpFlag);
        EXPECT_EQ(eventKindOf(down.message, down.wParam, down.lParam), kind::KeyDown);
        EXPECT_EQ(eventKindOf(up.message, up.wParam, up.lParam), kind::KeyUp);
        EXPECT_EQ(down.lParam & 0xFFFF, 1u); // repeat count
    }
}

TEST_F(HookTest, WheelTurnsArriveAsWheelMessages) {
    moveAndHook(fixture.centre("patch"));
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("4"),
                                                  QStringLiteral("click"), QStringLiteral("5")});
    ASSERT_TRUE(collector.waitForCount(kHookWheel, 2));
    const QList<InputMessage> wheel = collector.of(kHookWheel);
    EXPECT_EQ(static_cast<qint16>(wheel[0].wParam >> 16), 120);
    EXPECT_EQ(static_cast<qint16>(wheel[1].wParam >> 16), -120);
    EXPECT_EQ(wheel[0].pt, fixture.centre("patch"));
    EXPECT_TRUE(collector.buttonCodes().isEmpty());
}

TEST_F(HookTest, ActivatingAnotherWindowGivesActivate) {
    FixtureApp other({QStringLiteral("--title"), QStringLiteral("Other Fixture"),
                      QStringLiteral("--pos"), QStringLiteral("700,500")});
    ASSERT_TRUE(other.start());
    desktop.setForegroundWindow(fixture.window());
    ASSERT_TRUE(waitUntil([&] { return desktop.foregroundWindow() == fixture.window(); }));
    moveAndHook(fixture.centre("patch"));
    desktop.setForegroundWindow(other.window());
    ASSERT_TRUE(collector.waitForCount(kHookActivate, 1));
    EXPECT_EQ(collector.of(kHookActivate).last().wParam, static_cast<quint32>(other.window()));
    desktop.setForegroundWindow(fixture.window());
    ASSERT_TRUE(collector.waitForCount(kHookActivate, 2));
    EXPECT_EQ(collector.of(kHookActivate).last().wParam, static_cast<quint32>(fixture.window()));
}

TEST_F(HookTest, DelayNeverHoldsAPressBackAndResetStopsDelivery) {
    input.moveTo(fixture.centre("patch"));
    pause(50);
    ASSERT_TRUE(hook.SetHook(&collector, 5000));
    EXPECT_EQ(hook.delay(), 5000);
    click(20);
    EXPECT_TRUE(collector.waitForCount(kHookMouse, 2, 1000));
    hook.ResetHook();
    EXPECT_FALSE(hook.isHooked());
    collector.messages.clear();
    click(20);
    input.sendKey(65, false);
    input.sendKey(65, true);
    pause(300);
    EXPECT_TRUE(collector.messages.isEmpty());
}

TEST_F(HookTest, ReceiverThatLetsEventsRunGetsMessagesInOrderNotNested) {
    struct Slow : HookReceiver {
        int depth = 0;
        int maxDepth = 0;
        QList<quint32> codes;
        void hookMessage(const InputMessage& m) override {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            if (m.message == kHookMouse && m.wParam != kMouseMove) codes.append(m.wParam);
            if (m.wParam == kLeftDown) pause(150); // the release arrives meanwhile
            --depth;
        }
    } slow;
    input.moveTo(fixture.centre("patch"));
    pause(50);
    ASSERT_TRUE(hook.SetHook(&slow, 0));
    click(20);
    ASSERT_TRUE(waitUntil([&] { return slow.codes.size() >= 2; }));
    EXPECT_EQ(slow.codes, (QList<quint32>{kLeftDown, kLeftUp}));
    EXPECT_EQ(slow.maxDepth, 1);
}
