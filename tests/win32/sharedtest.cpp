// What other processes share with the program: the status block, the
// instance lock and the desktop-wide hot keys and atoms.
#include "platform/win32/win32hotkeys.h"
#include "platform/win32/win32instancelock.h"
#include "platform/win32/win32sharedmemory.h"
#include "platform/win32/win32syntheticinput.h"
#include "tests/win32/testsupport.h"

#include <gtest/gtest.h>

namespace klavoro::win32 {
namespace {

QString uniqueName(const char* what) {
    return QStringLiteral("klavoro-test-%1-%2").arg(QLatin1String(what)).arg(GetCurrentProcessId());
}

TEST(SharedMemoryTest, ASecondOpenSeesTheBlock) {
    const QString name = uniqueName("block");
    Win32SharedMemory writer, reader;
    EXPECT_FALSE(reader.openExisting(name)) << "nothing made yet";
    ASSERT_TRUE(writer.create(name, 36));
    EXPECT_EQ(writer.read(0, 36), QByteArray(36, '\0'));
    EXPECT_TRUE(writer.write(0, "abc"));
    EXPECT_TRUE(writer.write(32, "wxyz"));
    EXPECT_FALSE(writer.write(34, "xyz")) << "past the end";
    EXPECT_TRUE(writer.flush());

    ASSERT_TRUE(reader.openExisting(name));
    EXPECT_EQ(reader.read(0, 3), QByteArray("abc"));
    EXPECT_EQ(reader.read(32, 4), QByteArray("wxyz"));
    EXPECT_TRUE(reader.write(3, "d"));
    EXPECT_EQ(writer.read(0, 4), QByteArray("abcd"));

    Win32SharedMemory second;
    EXPECT_FALSE(second.create(name, 36)) << "a block of that name is there";
    EXPECT_TRUE(writer.close());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(reader.read(0, 4), QByteArray("abcd")) << "the reader keeps it alive";
    EXPECT_TRUE(reader.close());
    EXPECT_FALSE(reader.openExisting(name)) << "gone with its last handle";
}

TEST(InstanceLockTest, ASecondHolderIsRefused) {
    const QString name = QStringLiteral("Local\\") + uniqueName("lock");
    Win32InstanceLock first(name), second(name);
    ASSERT_TRUE(first.acquire());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.errorText().isEmpty()) << "held by another: no error to tell";
    first.release();
    EXPECT_TRUE(second.acquire());
}

TEST(InstanceLockTest, AKilledHolderLeavesTheLockFree) {
    const QString name = QStringLiteral("Local\\") + uniqueName("killed");
    test::Helper holder = test::Helper::lockHolder(name);
    Win32InstanceLock lock(name);
    ASSERT_TRUE(test::pumpUntil(
        [&] {
            if (!lock.acquire()) return true;
            lock.release(); // not taken by the helper yet
            return false;
        },
        10000));
    ASSERT_TRUE(holder.isRunning());
    holder.kill();
    EXPECT_TRUE(lock.acquire());
}

class Receiver : public HotKeyReceiver {
public:
    void hotKey(int id) override { ids << id; }
    QList<int> ids;
};

void pressCtrlShift(int vk) {
    Win32SyntheticInput input;
    input.sendKey(VK_CONTROL, false);
    input.sendKey(VK_SHIFT, false);
    input.sendKey(vk, false);
    input.sendKey(vk, true);
    input.sendKey(VK_SHIFT, true);
    input.sendKey(VK_CONTROL, true);
}

TEST(HotKeysTest, ARegisteredKeyReachesItsReceiver) {
    Win32HotKeys keys;
    ASSERT_TRUE(keys.isOpen()) << keys.errorText().toStdString();
    Receiver receiver;
    ASSERT_EQ(keys.registerHotKey(&receiver, 7, kModControl | kModShift, VK_F9),
              HotKeyResult::Registered);
    pressCtrlShift(VK_F9);
    EXPECT_TRUE(test::pumpUntil([&] { return !receiver.ids.isEmpty(); }));
    EXPECT_EQ(receiver.ids, QList<int>{7});

    EXPECT_TRUE(keys.unregisterHotKey(7));
    EXPECT_FALSE(keys.unregisterHotKey(7));
    pressCtrlShift(VK_F9);
    test::pump(300);
    EXPECT_EQ(receiver.ids, QList<int>{7}) << "not after it was given up";
}

TEST(HotKeysTest, AKeyHeldElsewhereIsTaken) {
    Win32HotKeys mine, other;
    Receiver a, b;
    ASSERT_EQ(other.registerHotKey(&b, 1, kModControl | kModShift, VK_F10),
              HotKeyResult::Registered);
    EXPECT_EQ(mine.registerHotKey(&a, 1, kModControl | kModShift, VK_F10),
              HotKeyResult::TakenByOther);
    EXPECT_EQ(mine.registerHotKey(&a, 2, kModControl | kModShift, VK_F11), HotKeyResult::Registered)
        << "another key is free";
    EXPECT_TRUE(other.unregisterHotKey(1));
    EXPECT_EQ(mine.registerHotKey(&a, 1, kModControl | kModShift, VK_F10),
              HotKeyResult::Registered);
    EXPECT_EQ(mine.registerHotKey(&a, 3, kModControl | kModShift, 0), HotKeyResult::Failed);
}

TEST(HotKeysTest, AtomsAreDesktopWideNumbers) {
    Win32HotKeys keys;
    const QString name = uniqueName("atom");
    const int atom = keys.addAtom(name);
    EXPECT_NE(atom, 0);
    EXPECT_EQ(keys.addAtom(name), atom);
    EXPECT_NE(keys.addAtom(name + QLatin1Char('2')), atom);
    EXPECT_EQ(keys.addAtom(QString()), 0);
    EXPECT_TRUE(keys.deleteAtom(atom));
    EXPECT_FALSE(keys.deleteAtom(0));
}

} // namespace
} // namespace klavoro::win32
