// Synthetic input, the key state and the low-level hook that sees them.
#include "platform/win32/msaaaccessibility.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32elementreader.h"
#include "platform/win32/win32handles.h"
#include "platform/win32/win32hookthread.h"
#include "platform/win32/win32inputhook.h"
#include "platform/win32/win32keystate.h"
#include "platform/win32/win32syntheticinput.h"
#include "record/presssnapshot.h"
#include "tests/win32/testsupport.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

namespace klavoro::win32 {
namespace {

using test::pump;
using test::pumpUntil;

TEST(SyntheticInputTest, AMoveLandsOnItsPixel) {
    Win32SyntheticInput input;
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    for (const QPoint p :
         {QPoint(0, 0), QPoint(123, 457), QPoint(w - 1, h - 1), QPoint(w / 2, 1)}) {
        ASSERT_TRUE(input.moveTo(p));
        POINT at{};
        EXPECT_TRUE(pumpUntil(
            [&] {
                GetCursorPos(&at);
                return QPoint(at.x, at.y) == p;
            },
            1000))
            << p.x() << "," << p.y() << " went to " << at.x << "," << at.y;
    }
}

TEST(SyntheticInputTest, NormalisedCoordinatesHitTheMiddleOfThePixel) {
    EXPECT_EQ(Win32SyntheticInput::normalized(0, 0, 1280), 25);
    EXPECT_EQ(Win32SyntheticInput::normalized(1279, 0, 1280), 65510);
    // Both conversions back land on the pixel.
    for (int x : {0, 1, 639, 640, 1278, 1279}) {
        const int n = Win32SyntheticInput::normalized(x, 0, 1280);
        EXPECT_EQ(n * 1280 / 65536, x);
        EXPECT_EQ((n * 1279 + 32767) / 65535, x);
    }
    EXPECT_EQ(Win32SyntheticInput::normalized(-1280, -1280, 2560), 12);
}

TEST(KeyStateTest, AKeyIsDownWhileHeldAndRemembersItsPress) {
    Win32SyntheticInput input;
    Win32KeyState keys;
    keys.asyncKeyState(VK_F8); // clears an old pressed bit
    ASSERT_TRUE(input.sendKey(VK_F8, false));
    EXPECT_TRUE(pumpUntil([&] { return (keys.asyncKeyState(VK_F8) & kKeyIsDown) != 0; }));
    ASSERT_TRUE(input.sendKey(VK_F8, true));
    EXPECT_TRUE(pumpUntil([&] { return (keys.asyncKeyState(VK_F8) & kKeyIsDown) == 0; }));
    KeyStates all{};
    keys.readAll(all);
    EXPECT_EQ(all[VK_F8] & kKeyIsDown, 0);
    EXPECT_EQ(keys.asyncKeyState(0), 0);
    EXPECT_EQ(keys.asyncKeyState(300), 0);
    EXPECT_FALSE(input.sendKey(1, false)) << "a mouse button is no key";
}

class Collector : public HookReceiver {
public:
    void hookMessage(const InputMessage& m) override { messages.push_back(m); }
    WindowId hookWindow() const override { return 4242; }
    const InputMessage* find(quint32 message, quint32 wParam) const {
        for (const InputMessage& m : messages)
            if (m.message == message && m.wParam == wParam) return &m;
        return nullptr;
    }
    int indexOf(quint32 message, quint32 wParam) const {
        for (size_t i = 0; i < messages.size(); ++i)
            if (messages[i].message == message && messages[i].wParam == wParam) return int(i);
        return -1;
    }
    std::vector<InputMessage> messages;
};

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = std::make_unique<test::Helper>(test::Helper::window(QRect(300, 200, 400, 300)));
        ASSERT_TRUE(target->hwnd());
        RECT r{};
        GetClientRect(target->hwnd(), &r);
        POINT origin{0, 0};
        ClientToScreen(target->hwnd(), &origin);
        onTarget = QPoint(origin.x + 250, origin.y + 150);
        POINT b{50, 25}; // the button's middle
        ClientToScreen(target->hwnd(), &b);
        onButton = QPoint(b.x, b.y);
        ASSERT_TRUE(hook.SetHook(&collector, 0)) << hook.errorText().toStdString();
    }
    void TearDown() override { hook.ResetHook(); }

    void click(QPoint p) {
        input.moveTo(p);
        pump(50);
        input.button(MouseButton::Left, true);
        pump(50);
        input.button(MouseButton::Left, false);
    }

    std::unique_ptr<test::Helper> target;
    QPoint onTarget, onButton;
    Win32InputHook hook;
    Win32SyntheticInput input;
    Collector collector;
};

TEST_F(HookTest, APressIsTakenAsItWasAndComesInOrder) {
    input.moveTo(onTarget);
    ASSERT_TRUE(pumpUntil([&] {
        for (const InputMessage& m : collector.messages)
            if (m.message == kHookMouse && m.wParam == kMouseMove && m.pt == onTarget) return true;
        return false;
    })) << "the hook sees the synthetic move";
    input.button(MouseButton::Left, true);
    pump(50);
    input.button(MouseButton::Left, false);
    ASSERT_TRUE(pumpUntil([&] { return collector.find(kHookMouse, kLeftUp) != nullptr; }));
    const int down = collector.indexOf(kHookMouse, kLeftDown);
    const int up = collector.indexOf(kHookMouse, kLeftUp);
    ASSERT_GE(down, 0);
    EXPECT_LT(down, up);
    const InputMessage& press = collector.messages[size_t(down)];
    EXPECT_EQ(press.hwnd, 4242u);
    EXPECT_EQ(press.pt, onTarget);
    ASSERT_TRUE(press.snapshot);
    const PressSnapshot& s = *press.snapshot;
    EXPECT_EQ(s.hold, PressSnapshot::Hold::Held);
    EXPECT_EQ(s.point, onTarget);
    ASSERT_FALSE(s.screen.isNull());
    EXPECT_EQ(QColor(s.screen.pixel(onTarget - s.screenArea.topLeft())), test::kTargetColour);
    const WindowFact* top = s.window(toId(target->hwnd()));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->title, test::kTargetTitle);
    EXPECT_EQ(top->processId, qint64(target->processId()));
    EXPECT_EQ(collector.messages[size_t(up)].lParam, 0u) << "no button held after the release";
}

TEST_F(HookTest, ASecondQuickPressIsADoubleClickAndOurOwnWindowIsNotTaken) {
    click(onTarget);
    click(onTarget);
    ASSERT_TRUE(pumpUntil([&] { return collector.find(kHookMouse, kLeftDblClk) != nullptr; }));

    QWidget own;
    own.setGeometry(100, 600, 200, 100);
    own.show();
    pump(300);
    collector.messages.clear();
    click(own.geometry().center());
    ASSERT_TRUE(pumpUntil([&] { return collector.find(kHookMouse, kLeftDown) != nullptr; }));
    const InputMessage* press = collector.find(kHookMouse, kLeftDown);
    ASSERT_TRUE(press->snapshot);
    EXPECT_EQ(press->snapshot->hold, PressSnapshot::Hold::OwnWindow);
    EXPECT_TRUE(press->snapshot->screen.isNull());
}

TEST_F(HookTest, APressOnAControlNamesIt) {
    click(onButton);
    hook.finishPending(2000);
    ASSERT_TRUE(pumpUntil([&] { return collector.find(kHookMouse, kLeftUp) != nullptr; }));
    const InputMessage* press = collector.find(kHookMouse, kLeftDown);
    ASSERT_TRUE(press && press->snapshot);
    const PressSnapshot& s = *press->snapshot;
    EXPECT_TRUE(s.elementFound);
    EXPECT_EQ(s.element.name, QStringLiteral("OK"));
    EXPECT_TRUE(s.element.windowTitle.isEmpty() || s.element.windowTitle == test::kTargetTitle)
        << s.element.windowTitle.toStdString();
    EXPECT_LT(s.holdMs, 500) << "the press is not held past the hook's timeout";
    EXPECT_LT(collector.indexOf(kHookMouse, kLeftDown), collector.indexOf(kHookMouse, kLeftUp));
}

TEST_F(HookTest, TheEndOfADragIsTakenAndWaitsForItsElementInOrder) {
    input.moveTo(onTarget);
    pump(50);
    input.button(MouseButton::Left, true);
    pump(50);
    const QPoint end = onButton;
    input.moveTo(end);
    pump(50);
    input.button(MouseButton::Left, false);
    pump(20);
    input.sendKey(VK_F7, false); // comes in while the drag's element is read
    input.sendKey(VK_F7, true);
    hook.finishPending(2000);
    ASSERT_TRUE(pumpUntil([&] { return collector.find(kHookKey, VK_F7) != nullptr; }));
    const int up = collector.indexOf(kHookMouse, kLeftUp);
    ASSERT_GE(up, 0);
    EXPECT_LT(up, collector.indexOf(kHookKey, VK_F7)) << "the key waits behind the release";
    const InputMessage& release = collector.messages[size_t(up)];
    ASSERT_TRUE(release.snapshot) << "the end of a drag is a step";
    EXPECT_EQ(release.snapshot->hold, PressSnapshot::Hold::NotHeld);
    EXPECT_EQ(release.snapshot->point, end);
    EXPECT_FALSE(release.snapshot->screen.isNull());
    EXPECT_TRUE(release.snapshot->elementLate) << "read after the release went on";
    EXPECT_EQ(release.snapshot->element.name, QStringLiteral("OK"));
}

TEST_F(HookTest, KeysCarryTheirFlags) {
    input.sendKey(VK_CONTROL, false);
    input.sendKey('K', false);
    input.sendKey('K', true);
    input.sendKey(VK_CONTROL, true);
    ASSERT_TRUE(pumpUntil([&] { return collector.messages.size() >= 4; }));
    std::vector<InputMessage> keys;
    for (const InputMessage& m : collector.messages)
        if (m.message == kHookKey) keys.push_back(m);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].wParam, quint32(VK_CONTROL)) << "the left Ctrl is Ctrl";
    EXPECT_EQ(keys[1].wParam, quint32('K'));
    EXPECT_TRUE(keys[1].lParam & kKeyCtrlFlag);
    EXPECT_FALSE(keys[1].lParam & kKeyUpFlag);
    EXPECT_FALSE(keys[1].lParam & kKeyPreviousFlag);
    EXPECT_TRUE(keys[2].lParam & kKeyUpFlag);
    EXPECT_TRUE(keys[2].lParam & kKeyPreviousFlag);
    EXPECT_FALSE(keys[3].lParam & kKeyCtrlFlag) << "Ctrl itself is not Ctrl held";
}

TEST_F(HookTest, AnotherWindowComingToTheFrontIsReported) {
    QWidget own;
    own.setGeometry(100, 600, 200, 100);
    own.show();
    own.activateWindow();
    pump(300);
    collector.messages.clear();
    Win32Desktop desktop;
    desktop.setForegroundWindow(toId(target->hwnd()));
    ASSERT_TRUE(pumpUntil([&] { return desktop.foregroundWindow() == toId(target->hwnd()); }));
    EXPECT_TRUE(pumpUntil(
        [&] { return collector.find(kHookActivate, quint32(toId(target->hwnd()))) != nullptr; }));
}

TEST_F(HookTest, ASecondHookInTheProcessIsRefused) {
    Win32InputHook second;
    Collector other;
    EXPECT_FALSE(second.SetHook(&other, 0));
    EXPECT_FALSE(second.errorText().isEmpty());
}

TEST(GenericKeyTest, LeftAndRightModifiersAreOneKey) {
    EXPECT_EQ(genericVk(VK_RSHIFT), VK_SHIFT);
    EXPECT_EQ(genericVk(VK_LCONTROL), VK_CONTROL);
    EXPECT_EQ(genericVk(VK_RMENU), VK_MENU);
    EXPECT_EQ(genericVk('A'), 'A');
}

TEST(ElementReaderTest, AnElementNotWaitedForComesLate) {
    test::Helper target = test::Helper::window(QRect(300, 200, 400, 300));
    ASSERT_TRUE(target.hwnd());
    POINT b{50, 25};
    ClientToScreen(target.hwnd(), &b);
    Win32ElementReader reader;
    std::mutex lock;
    std::optional<NamedElement> late;
    const auto now = reader.read(QPoint(b.x, b.y), 0, 1200, [&](NamedElement e) {
        std::lock_guard<std::mutex> guard(lock);
        late = std::move(e);
    });
    EXPECT_FALSE(now) << "not waited for";
    ASSERT_TRUE(pumpUntil([&] {
        std::lock_guard<std::mutex> guard(lock);
        return late.has_value();
    }));
    EXPECT_TRUE(late->found);
    EXPECT_EQ(late->info.name, QStringLiteral("OK"));

    const auto waited = reader.read(QPoint(b.x, b.y), 2000, 1200, [](NamedElement) {
        ADD_FAILURE() << "read in time: nothing comes late";
    });
    ASSERT_TRUE(waited);
    EXPECT_EQ(waited->info.name, QStringLiteral("OK"));
}

TEST(AccessibilityTest, TheButtonOfAnotherProcessAndNothingOfOurOwn) {
    test::Helper target = test::Helper::window(QRect(300, 200, 400, 300));
    ASSERT_TRUE(target.hwnd());
    POINT b{50, 25};
    ClientToScreen(target.hwnd(), &b);
    Win32Desktop desktop;
    MsaaAccessibility accessibility(desktop);
    const AccessibleRef button = accessibility.objectAtPoint(QPoint(b.x, b.y));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->name(), QStringLiteral("OK"));
    // Wine's standard proxy knows only the client area of a control's window.
    EXPECT_EQ(button->role(), test::underWine() ? role::Client : role::PushButton);
    EXPECT_TRUE(button->location().contains(QPoint(b.x, b.y)));
    EXPECT_FALSE(button->key().isEmpty());
    const AccessibleRef window = accessibility.objectOfWindow(toId(target.hwnd()));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->role(), role::Client);
    EXPECT_GE(window->childCount(), 1);

    QWidget own;
    own.setGeometry(100, 600, 200, 100);
    own.show();
    pump(300);
    EXPECT_FALSE(accessibility.objectAtPoint(own.geometry().center()));
    EXPECT_FALSE(accessibility.objectOfWindow(own.winId()));
}

} // namespace
} // namespace klavoro::win32
