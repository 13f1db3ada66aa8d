#include "store/capturefolder.h"
#include "store/oplist.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class RecordingHost : public OpListHost {
public:
    QString currentStepText() const override { return current; }
    void showProgress(const QString& text) override { progress << text; }
    void setCaption(const QString& c) override { captions << c; }
    void setStatus(const QString& s) override { statuses << s; }
    void setDetailFields(const Detail& d) override { detail = d; }
    void selectStep(int n) override { selected = n; }
    void setImageSizePanelVisible(bool v) override { imageSizePanel = v; }
    void setThumbnailPanelVisible(bool v) override { thumbPanel = v; }

    QString current;
    QStringList progress, captions, statuses;
    Detail detail;
    int selected = -1;
    bool imageSizePanel = false, thumbPanel = false;
};

struct Store {
    ScratchHome home;
    FakeDialogs dialogs;
    RecordingHost host;
    StepList list;
    OperationList ops{list, host, dialogs};
    QString file() const { return home.path("data/OpList.txt"); }
    QString log() const { return fromShiftJis(readBytes(home.path("log.txt"))); }
};

const QByteArray kHeader1 =
    "\x8D\xC5\x8F\x49\x8D\x73 = \t1\t\r\n" + QByteArray(28, '-') + "\x03\r\n";

QByteArray sj(const QString& s) {
    return toShiftJis(s);
}

} // namespace

TEST(StepLine, BuildReadAndWriteFields) {
    const QString line = buildStepLine(3, "2026120609050304", QStringLiteral("あ"), "jpg", "");
    EXPECT_EQ(line, "\t2026120609050304    \t\t3\t" + QStringLiteral("あ") + QString(98, ' ') +
                        "\tjpg\t");
    EXPECT_EQ(lineField(line, FieldImageName), "2026120609050304");
    EXPECT_EQ(lineField(line, FieldMessage), QStringLiteral("あ"));
    EXPECT_EQ(lineField(line, FieldCheck), "");
    EXPECT_EQ(lineField("\tonly", FieldExtension), ""); // missing fields are empty
    const QString ticked = withLineField(line, FieldCheck, kCheckMark);
    EXPECT_EQ(ticked, line + kCheckMark);
    EXPECT_EQ(withLineField("\ta\tb", FieldCheck, "x"), "\ta\tb"); // too few fields: unchanged
    // A name longer than 20 gets no blanks.
    EXPECT_EQ(lineField(buildStepLine(1, QString(25, 'n'), "", "png", ""), 1), QString(25, 'n'));
}

TEST(StepList, NumbersArePositionsAndFieldWritesKeepTheRest) {
    StepList list;
    list.append(buildStepLine(7, "a", "m1", "jpg", ""));
    list.append(buildStepLine(9, "b", "m2", "png", ""));
    EXPECT_EQ(list.field(2, FieldNumber), "2");
    EXPECT_EQ(list.field(0, FieldNumber), "");
    EXPECT_EQ(list.field(2, FieldCreation), "9");
    EXPECT_TRUE(list.data(list.index(1), Qt::DisplayRole).toString().startsWith("2\tb "));
    list.setField(FieldCheck, 2, kCheckMark);
    EXPECT_EQ(list.field(2, FieldCheck), kCheckMark);
    EXPECT_EQ(list.field(2, FieldMessage), "m2");
    EXPECT_EQ(list.field(0, FieldImageName), ""); // nothing selected
    list.setSelectedStep(1);
    EXPECT_EQ(list.field(0, FieldImageName), "a");
    list.setSelectedStep(5); // beyond the end: no selection
    EXPECT_EQ(list.selectedStep(), 0);
    EXPECT_EQ(list.allLines().count("\r\n"), 2);
}

TEST(OpListWriter, WritesTheDocumentedLayout) {
    Store s;
    s.host.current = "1";
    ASSERT_EQ(s.ops.addStep(1, "2026120609050304",
                            QStringLiteral("[OK](ボタン)を、クリックします。"), "jpg", "", true,
                            false),
              0);
    EXPECT_EQ(s.ops.lastAddedImageName(), "2026120609050304");
    ASSERT_TRUE(s.ops.save());
    const QString msg = QStringLiteral("[OK](ボタン)を、クリックします。");
    const QByteArray expected = kHeader1 + "\t2026120609050304    \t\t1\t" + sj(msg) +
                                QByteArray(100 - halfWidthLength(msg), ' ') + "\tjpg\t\r\n";
    EXPECT_EQ(readBytes(s.file()), expected);
    EXPECT_EQ(s.ops.lastAddedImageName(), ""); // cleared by every write
}

TEST(OpListWriter, LineBreaksBecomeControlFourAndNoRectGetsACopy) {
    Store s;
    conf().noRectFile = 1;
    s.host.current = "2";
    s.ops.addStep(1, "a", "one\r\ntwo", "png", "", false, false);
    s.ops.addStep(2, "b", "three", "png", kCheckMark, false, false);
    ASSERT_TRUE(s.ops.save());
    const QByteArray bytes = readBytes(s.file());
    EXPECT_EQ(bytes.count("\r\n"), 4); // header, separator, two steps
    EXPECT_TRUE(bytes.contains("one\x04two"));
    EXPECT_EQ(readBytes(s.home.path("data/NO_RECT/OpList.txt")), bytes);
}

TEST(OpListWriter, EmptyListLeavesAnExistingFileAlone) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    writeBytes(s.file(), "keep me");
    EXPECT_TRUE(s.ops.save());
    EXPECT_EQ(readBytes(s.file()), QByteArray("keep me"));
}

TEST(OpListLoader, ShiftJisFileRoundTripsByteForByte) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    const QString m1 = QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。");
    const QString m2 = QStringLiteral("一行目\x04二行目 ＆ \\ ①");
    QByteArray file = "\x8D\xC5\x8F\x49\x8D\x73 = \t2\t\r\n" + QByteArray(28, '-') + "\x03\r\n";
    file += "\t2026120609050304    \t\t1\t" + sj(m1) + QByteArray(100 - halfWidthLength(m1), ' ') +
            "\tjpg\t\r\n";
    file += "\t2026120609051000    \t\t2\t" + sj(m2) + QByteArray(100 - halfWidthLength(m2), ' ') +
            "\tpng\t\x81\x59\r\n";
    writeBytes(s.file(), file);
    ASSERT_TRUE(s.ops.load());
    ASSERT_EQ(s.list.count(), 2);
    EXPECT_EQ(s.list.field(2, FieldMessage), m2);
    EXPECT_EQ(s.list.field(2, FieldCheck), kCheckMark);
    EXPECT_EQ(s.host.selected, 2);
    EXPECT_EQ(s.host.detail.no, "2");
    EXPECT_EQ(s.host.detail.fileName, "2026120609051000");
    EXPECT_EQ(s.host.statuses.last(), QStringLiteral("ロード完了！"));
    EXPECT_EQ(s.host.captions.last(), windowTitle());
    EXPECT_TRUE(s.host.imageSizePanel);
    s.host.current = s.host.detail.no;
    ASSERT_TRUE(s.ops.save());
    EXPECT_EQ(readBytes(s.file()), file);
}

TEST(OpListLoader, PositionDecidesTheNumberNotTheStoredFields) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    writeBytes(s.file(), kHeader1 + "99\ta\tjunk\t42\tm\tjpg\t\r\n77\tb\t\t43\tn\tjpg\t\r\n");
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.field(2, FieldNumber), "2");
    EXPECT_EQ(s.list.field(2, FieldCreation), "2");
    EXPECT_EQ(s.list.field(1, FieldReserved), "");
}

TEST(OpListLoader, StopsAtAnEmptyLineOrAMissingLineEndAndKeepsTheOriginal) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    const QByteArray original =
        kHeader1 + "\ta\t\t1\tm\tjpg\t\r\n\r\n\tb\t\t2\tm\tjpg\t\r\n\tc\t\t3\tm\tjpg\t";
    writeBytes(s.file(), original);
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), 1);
    ASSERT_EQ(s.dialogs.messages.size(), 1);
    EXPECT_TRUE(s.dialogs.messages[0].contains(QStringLiteral("2 行は読み込まれませんでした")));
    const QStringList backups = QDir(s.home.path("data")).entryList({"OpList.txt.*.bak"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(readBytes(s.home.path("data/") + backups[0]), original);
    EXPECT_TRUE(s.log().contains(backups[0]));
}

TEST(OpListLoader, FileWithoutSeparatorIsAListOfStepLines) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    writeBytes(s.file(), "\ta\t\t1\tm\tjpg\t\r\n\tb\t\t2\tm\tjpg\t\r\n");
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), 2);
    EXPECT_EQ(s.host.statuses.last(), QStringLiteral("ロード完了！"));
    EXPECT_EQ(s.host.selected, 3); // CR LF count + 1
    EXPECT_TRUE(s.dialogs.messages.isEmpty());
}

TEST(OpListLoader, BadHeaderFailsLogsAndBlocksWritesUntilAGoodLoad) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    const QByteArray bad = "\x8D\xC5\x8F\x49\x8D\x73 = \tabc\t\r\n" + QByteArray(28, '-') +
                           "\x03\r\n\ta\t\t1\tm\tjpg\t\r\n";
    writeBytes(s.file(), bad);
    EXPECT_FALSE(s.ops.load());
    EXPECT_TRUE(s.ops.loadFailed());
    EXPECT_EQ(s.list.count(), 0);
    ASSERT_EQ(s.dialogs.messages.size(), 1);
    EXPECT_EQ(s.dialogs.messages[0], QStringLiteral("OpList不正：LastNo=abc"));
    EXPECT_EQ(s.dialogs.titles[0], QStringLiteral("MyLoadFiles"));
    EXPECT_EQ(s.host.statuses.last(), QStringLiteral("ロード失敗！"));
    EXPECT_TRUE(s.host.thumbPanel);
    EXPECT_TRUE(s.log().contains("LastNo=abc"));

    s.ops.addStep(1, "new", "m", "jpg", "", false, false);
    EXPECT_FALSE(s.ops.save());
    EXPECT_EQ(readBytes(s.file()), bad);
    EXPECT_TRUE(s.log().contains(QStringLiteral("保存無視－読込時（MyLoadFile）で既にエラー")));

    writeBytes(s.file(), "\x8D\xC5\x8F\x49\x8D\x73 = \t\t\r\n" + QByteArray(28, '-') +
                             "\x03\r\n"); // empty number
    s.list.clear();
    EXPECT_FALSE(s.ops.load());
    EXPECT_EQ(s.dialogs.messages.last(), QStringLiteral("OpList不正：LastNo="));
    writeBytes(s.file(),
               "\x8D\xC5\x8F\x49\x8D\x73 = \t-1\t\r\n" + QByteArray(28, '-') + "\x03\r\n");
    EXPECT_FALSE(s.ops.load());

    writeBytes(s.file(), kHeader1 + "\ta\t\t1\tm\tjpg\t\r\n");
    s.list.clear();
    EXPECT_TRUE(s.ops.load());
    EXPECT_FALSE(s.ops.loadFailed());
    EXPECT_TRUE(s.ops.save());
}

TEST(OpListLoader, UnreadableFileIsAFailureNotAnEmptyList) {
    Store s;
    QDir().mkpath(s.file()); // a folder in the way of the file
    EXPECT_FALSE(s.ops.load());
    EXPECT_TRUE(s.ops.loadFailed());
    ASSERT_EQ(s.dialogs.messages.size(), 1);
    EXPECT_TRUE(s.dialogs.messages[0].contains(s.file()));
}

TEST(OpListLoader, MissingFileIsAnEmptyListWithoutReport) {
    Store s;
    EXPECT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), 0);
    EXPECT_TRUE(s.dialogs.messages.isEmpty());
    EXPECT_TRUE(s.host.statuses.isEmpty());
}

TEST(OpListLoader, ProgressEvery500LinesAndOddInput) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    QByteArray body;
    for (int i = 1; i <= 1200; ++i)
        body += "\t" + QByteArray::number(i) + "\t\t" + QByteArray::number(i) + "\tm\tjpg\t\r\n";
    writeBytes(s.file(),
               "\x8D\xC5\x8F\x49\x8D\x73 = \t1200\t\r\n" + QByteArray(28, '-') + "\x03\r\n" + body);
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), 1200);
    EXPECT_TRUE(s.host.statuses.contains(QStringLiteral("500/1200")));
    EXPECT_TRUE(s.host.statuses.contains(QStringLiteral("1000/1200")));
    EXPECT_TRUE(s.host.captions.contains("1000"));
    EXPECT_EQ(s.host.progress.first(), QStringLiteral("既存画像読み込み中・・・"));
    EXPECT_EQ(s.host.progress.last(), QString()); // closed at the end
    EXPECT_EQ(OperationList::progressText(7, 12), "  7/12");
    EXPECT_EQ(OperationList::progressText(12345, 12), "12345/12");
}

TEST(OpListLoader, BinaryAndCrOnlyFilesNeverLoseTheFile) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    writeBytes(s.file(), binary);
    s.ops.load(); // whatever it makes of it, it does not crash
    const int loaded = s.list.count();
    EXPECT_GE(loaded, 0);

    s.list.clear();
    writeBytes(s.file(), kHeader1 + "\ta\t\t1\tm\tjpg\t\r\ta\t\t1\tm\tjpg\t\r");
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), 0);
    EXPECT_EQ(QDir(s.home.path("data")).entryList({"OpList.txt.*.bak"}).size(), 2);
}

TEST(OpListLoader, TooManyOrTooFewFieldsAndUnencodableNames) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    writeBytes(s.file(), kHeader1 + "\ta\r\n\tb\t\t2\tm\tjpg\t\x81\x59\textra\tmore\r\n");
    ASSERT_TRUE(s.ops.load());
    ASSERT_EQ(s.list.count(), 2);
    EXPECT_EQ(s.list.field(1, FieldImageName), "a");
    EXPECT_EQ(s.list.field(1, FieldExtension), "");
    EXPECT_EQ(s.list.field(2, FieldCheck), kCheckMark);
    EXPECT_EQ(s.list.line(2).count('\t'), 6);

    s.list.clear();
    s.ops.addStep(1, QStringLiteral("caf\u00e9"), QStringLiteral("\u00e9t\u00e9"), "jpg", "", false,
                  false);
    s.host.current = "1";
    ASSERT_TRUE(s.ops.save());
    s.list.clear();
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.field(1, FieldImageName), "caf?");
    EXPECT_EQ(s.list.field(1, FieldMessage), "?t?");
}

TEST(OpListAdd, ReplacesAnExistingStepOnlyWhenItsImageExists) {
    Store s;
    const QString folder = captureFolder();
    s.ops.addStep(1, "old", "first", "jpg", "", false, false);
    EXPECT_EQ(s.ops.addStep(1, "new", "second", "jpg", "", false, false), 0);
    EXPECT_EQ(s.list.field(1, FieldImageName), "old"); // its image is missing: unchanged

    writeBytes(folder + "old.jpg", "x");
    QDir().mkpath(folder + "Thumb");
    writeBytes(folder + "Thumb/Thumb_old.jpg", "t");
    EXPECT_EQ(s.ops.addStep(1, "new", "second", "jpg", "", false, false), 0);
    EXPECT_EQ(s.list.count(), 1);
    EXPECT_EQ(s.list.field(1, FieldImageName), "new");
    EXPECT_FALSE(QFile::exists(folder + "Thumb/Thumb_old.jpg"));
    EXPECT_EQ(s.ops.addStep(0, "x", "m", "jpg", "", false, false), -1);

    // Escaped characters in a line are turned back.
    s.ops.addStep(5, "n", QStringLiteral("a&＆b&：c"), "jpg", "", false, false);
    EXPECT_EQ(s.list.count(), 2);
    EXPECT_EQ(s.list.field(2, FieldMessage), "a&b:c");
}

TEST(OpListLoader, HundredMegabyteFileLoads) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    const QByteArray line = "\t2026120609050304    \t\t1\t" + QByteArray(100, 'x') + "\tjpg\t\r\n";
    QByteArray big = kHeader1;
    big.reserve(100 * 1024 * 1024 + line.size());
    while (big.size() < 100 * 1024 * 1024)
        big += line;
    writeBytes(s.file(), big);
    ASSERT_TRUE(s.ops.load());
    EXPECT_EQ(s.list.count(), (big.size() - kHeader1.size()) / line.size());
}

// A save that arrives while the list is still loading (events run during a
// load) must not write the part loaded so far over the file.
TEST(OpListLoader, SaveDuringLoadIsRefused) {
    Store s;
    QDir().mkpath(s.home.path("data"));
    QByteArray body;
    for (int i = 1; i <= 1000; ++i)
        body += "\t" + QByteArray::number(i) + "\t\t" + QByteArray::number(i) + "\tm\tjpg\t\r\n";
    const QByteArray file =
        "\x8D\xC5\x8F\x49\x8D\x73 = \t1000\t\r\n" + QByteArray(28, '-') + "\x03\r\n" + body;
    writeBytes(s.file(), file);
    class SavingHost : public RecordingHost {
    public:
        OperationList* ops = nullptr;
        bool refused = false;
        void setStatus(const QString& st) override {
            RecordingHost::setStatus(st);
            if (st == QStringLiteral("500/1000")) refused = !ops->save();
        }
    } host;
    StepList list;
    OperationList ops(list, host, s.dialogs);
    host.ops = &ops;
    ASSERT_TRUE(ops.load());
    EXPECT_TRUE(host.refused);
    EXPECT_EQ(readBytes(s.file()), file);
    EXPECT_TRUE(ops.save()); // after the load, saving works again
}
