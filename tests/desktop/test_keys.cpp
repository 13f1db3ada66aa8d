#include "describe/keystrokes.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/eventkind.h"
#include "record/hotkeynames.h"
#include "record/keypoller.h"
#include "tests/desktop/fixtureapp.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

constexpr int kNumLock = 144;

struct HotKeyLog : HotKeyReceiver {
    QList<int> ids;
    void hotKey(int id) override { ids.append(id); }
};

class KeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(input.isOpen()) << input.errorText().toStdString();
        ASSERT_TRUE(keys.isOpen());
        // The fixture takes the keys typed here.
        desktop.setForegroundWindow(sharedFixture().window());
        input.moveTo(sharedFixture().centre("patch"));
        pause(50);
    }
    void TearDown() override { setNumLock(false); }

    bool lockState() { return keys.isLockOn(kNumLock); }
    void setNumLock(bool on) {
        if (lockState() == on) return;
        input.sendKey(kNumLock, false);
        input.sendKey(kNumLock, true);
        input.sync();
        waitUntil([&] { return lockState() == on; }, 1000);
    }
    void ctrlShift(int vk) {
        input.sendKey(17, false);
        input.sendKey(16, false);
        input.sendKey(vk, false);
        input.sendKey(vk, true);
        input.sendKey(16, true);
        input.sendKey(17, true);
        input.sync();
    }

    x11::X11Desktop desktop;
    x11::X11SyntheticInput input;
    x11::X11KeyState keys;
};

} // namespace

TEST_F(KeyTest, PollerSeesAHeldKeyExactlyOnce) {
    KeyPoller poller(keys, desktop);
    InputMessage rec;
    poller.poll(false, rec);
    QStringList events;
    const auto pollSome = [&] {
        for (int i = 0; i < 10; ++i) {
            const QString name = poller.poll(false, rec);
            if (name != kind::Move) events << QStringLiteral("%1 %2").arg(name).arg(rec.wParam);
            pause(10);
        }
    };
    input.sendKey(65, false);
    input.sync();
    pollSome();
    input.sendKey(65, true);
    input.sync();
    pollSome();
    EXPECT_EQ(events, (QStringList{"KEY_DOWN 65", "KEY_UP 65"}));
    EXPECT_EQ(rec.pt, sharedFixture().centre("patch"));
}

TEST_F(KeyTest, KeyTappedBetweenTwoReadsStillShowsAsPressed) {
    // Another reader tells when the server has handled both halves of the tap.
    x11::X11KeyState observer;
    keys.asyncKeyState(66);
    input.sendKey(66, false);
    input.sendKey(66, true);
    bool pressed = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            const quint16 v = observer.asyncKeyState(66);
            pressed = pressed || (v & kKeyWasPressed);
            return pressed && !(v & kKeyIsDown);
        },
        1000));
    EXPECT_EQ(keys.asyncKeyState(66), kKeyWasPressed);
    EXPECT_EQ(keys.asyncKeyState(66), 0); // reading cleared it
}

TEST_F(KeyTest, MouseButtonsAndModifiersByVirtualKey) {
    input.button(MouseButton::Left, true);
    input.sendKey(17, false);
    KeyStates all{};
    waitUntil(
        [&] {
            keys.readAll(all);
            return (all[1] & kKeyIsDown) && (all[17] & kKeyIsDown);
        },
        1000);
    EXPECT_TRUE(all[1] & kKeyIsDown);
    EXPECT_FALSE(all[2] & kKeyIsDown);
    EXPECT_TRUE(all[17] & kKeyIsDown);
    KeyPoller poller(keys, desktop);
    EXPECT_EQ(poller.isKeyDown(1), 1);
    EXPECT_EQ(poller.lastLeftStamp().size(), 16);
    input.button(MouseButton::Left, false);
    input.sendKey(17, true);
    waitUntil(
        [&] {
            keys.readAll(all);
            return !(all[1] & kKeyIsDown) && !(all[17] & kKeyIsDown);
        },
        1000);
    EXPECT_FALSE(all[1] & kKeyIsDown);
    EXPECT_FALSE(all[17] & kKeyIsDown);
}

TEST_F(KeyTest, HotKeyArrivesWithNumLockOffAndOn) {
    x11::X11HotKeys hotKeys;
    HotKeyLog log;
    const int id = hotKeys.addAtom(hotKeyAtomName(0));
    ASSERT_NE(id, 0);
    EXPECT_EQ(hotKeys.addAtom("MIRUVAN0"), id);
    EXPECT_NE(hotKeys.addAtom(hotKeyAtomName(3)), id);
    ASSERT_EQ(hotKeys.registerHotKey(&log, id, kModControl | kModShift, 'Z'),
              HotKeyResult::Registered);

    setNumLock(false);
    ctrlShift('Z');
    ASSERT_TRUE(waitUntil([&] { return log.ids.size() == 1; }));
    EXPECT_EQ(log.ids[0], id);

    setNumLock(true);
    ASSERT_TRUE(lockState());
    ctrlShift('Z');
    ASSERT_TRUE(waitUntil([&] { return log.ids.size() == 2; }));

    // Without Shift it is not the hot key.
    input.sendKey(17, false);
    input.sendKey('Z', false);
    input.sendKey('Z', true);
    input.sendKey(17, true);
    pause(150);
    EXPECT_EQ(log.ids.size(), 2);

    EXPECT_TRUE(hotKeys.unregisterHotKey(id));
    EXPECT_FALSE(hotKeys.unregisterHotKey(id));
    ctrlShift('Z');
    pause(150);
    EXPECT_EQ(log.ids.size(), 2);
}

TEST_F(KeyTest, KeyHeldByAnotherProgramIsReported) {
    x11::X11HotKeys first, second;
    HotKeyLog log;
    ASSERT_EQ(first.registerHotKey(&log, 1, kModControl | kModShift, 'E'),
              HotKeyResult::Registered);
    EXPECT_EQ(second.registerHotKey(&log, 1, kModControl | kModShift, 'E'),
              HotKeyResult::TakenByOther);
    // The failed attempt left the first program's key working.
    ctrlShift('E');
    ASSERT_TRUE(waitUntil([&] { return log.ids.size() == 1; }));
    EXPECT_EQ(second.registerHotKey(&log, 2, kModControl | kModShift, 0), HotKeyResult::Failed);
    first.unregisterHotKey(1);
    EXPECT_EQ(second.registerHotKey(&log, 1, kModControl | kModShift, 'E'),
              HotKeyResult::Registered);
}

TEST_F(KeyTest, KeyChordsAndTypedKeysReachTheFixture) {
    FixtureApp& app = sharedFixture();
    input.moveTo(app.centre("メモ"));
    pause(100);
    input.button(MouseButton::Left, true);
    pause(50);
    input.button(MouseButton::Left, false);
    pause(100);
    // Whatever earlier tests typed is selected and then replaced.
    for (int vk : {int('Q'), 13, int('R')}) {
        input.sendKey(vk, false);
        input.sendKey(vk, true);
    }
    ASSERT_TRUE(sendKeyChord(input, KeyChord::SelectAll));
    for (int vk : {'K', 'L'}) {
        input.sendKey(vk, false);
        input.sendKey(vk, true);
    }
    EXPECT_TRUE(app.waitForLine(QStringLiteral("memo kl"), 2000))
        << app.lines().join("\n").toStdString();
    EXPECT_FALSE(input.sendKey(1, false)); // a mouse button is no key
}
