#include "platform/fake/fakesharedmemory.h"
#include "record/statusblock.h"
#include "store/sjis.h"

#include <gtest/gtest.h>

using namespace klavoro;

namespace {
struct StatusBlockTest : ::testing::Test {
    void SetUp() override { FakeSharedMemory::removeAll(); }
    void TearDown() override { FakeSharedMemory::removeAll(); }
    FakeSharedMemory memory;
    StatusBlock block{&memory};
};
} // namespace

TEST(StatusRecord, PadsAndCuts) {
    const QByteArray go = statusRecord("Go");
    ASSERT_EQ(go.size(), 36);
    EXPECT_EQ(go.left(4), QByteArray(4, '\0'));
    EXPECT_EQ(go.mid(4), QByteArray("Go") + QByteArray(30, ' '));
    // 4 full-width characters + 28 blanks = 36 bytes: cut at 32.
    EXPECT_EQ(statusRecord("削除完了").mid(4), toShiftJis("削除完了") + QByteArray(24, ' '));
    // 20 full-width characters: only the first 16 fit.
    const QString longText = QString(20, QChar(0x3042));
    EXPECT_EQ(statusRecord(longText).mid(4), toShiftJis(longText.left(16)));
    EXPECT_EQ(statusRecord("").mid(4), QByteArray(32, ' '));
}

TEST_F(StatusBlockTest, CreatesZeroedBlockAndPublishes) {
    EXPECT_FALSE(block.publish("Go")); // not open yet
    ASSERT_TRUE(block.open("GetImage"));
    EXPECT_EQ(FakeSharedMemory::peek("GetImage"), QByteArray(36, '\0'));
    EXPECT_TRUE(block.publish("Go"));
    EXPECT_EQ(FakeSharedMemory::peek("GetImage").mid(4), QByteArray("Go") + QByteArray(30, ' '));
    EXPECT_TRUE(block.close());
    EXPECT_FALSE(block.close());
    EXPECT_FALSE(block.publish("Stop"));
}

TEST_F(StatusBlockTest, OpeningExistingBlockKeepsContents) {
    FakeSharedMemory other;
    StatusBlock first{&other};
    ASSERT_TRUE(first.open("GetImage"));
    ASSERT_TRUE(first.publish("ロード完了！"));
    const QByteArray before = FakeSharedMemory::peek("GetImage");
    ASSERT_TRUE(block.open("GetImage"));
    EXPECT_EQ(FakeSharedMemory::peek("GetImage"), before);
    EXPECT_TRUE(block.publish("Stop"));
    EXPECT_EQ(other.read(4, 4), QByteArray("Stop"));
}
