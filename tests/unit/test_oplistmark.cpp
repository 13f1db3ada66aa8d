// The header mark 0x03 never reaches a step line, whichever road a sentence
// takes, and what the writer saves loads back as the same list.
#include "edit/listfromimages.h"
#include "edit/messageedit.h"
#include "edit/stepsearch.h"
#include "edittesting.h"
#include "store/oplisttext.h"

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QChar kMark(3);
const QString kMarked = QStringLiteral("前") + kMark + QStringLiteral("後");

class SavingSearchHost : public StepSearchHost {
public:
    explicit SavingSearchHost(OperationList& ops) : m_ops(ops) {}
    void selectLine(int) override {}
    bool saveList() override { return m_ops.save(); }

private:
    OperationList& m_ops;
};

// Loads the capture folder's list afresh, as a start-up would.
int reload(EditBench& b) {
    b.steps.clear();
    EXPECT_TRUE(b.ops.load());
    return b.steps.count();
}

int markCount(const QByteArray& bytes) {
    return static_cast<int>(bytes.count('\x03'));
}

} // namespace

TEST(HeaderMark, FieldsNeverHoldMarkTabOrLineEnd) {
    EXPECT_EQ(storableFieldText(QStringLiteral("a\tb\x03"
                                               "c\r\nd\re\nf")),
              QStringLiteral("a bc\x04"
                             "d\x04"
                             "e\x04"
                             "f"));
    EXPECT_EQ(storableFieldText(QStringLiteral("plain")), QStringLiteral("plain"));

    const QString line = buildStepLine(1, QStringLiteral("n\x03"), kMarked, "jpg\x03", "\x03");
    EXPECT_FALSE(line.contains(kMark));
    EXPECT_EQ(line.count('\t'), 6);
    EXPECT_EQ(lineField(line, FieldMessage), QStringLiteral("前後"));
    const QString set = withLineField(line, FieldMessage, QStringLiteral("x\ty\x03"));
    EXPECT_EQ(set.count('\t'), 6);
    EXPECT_EQ(lineField(set, FieldMessage), QStringLiteral("x y"));
}

// Recording, the sentence editor, search and replace and a list built from
// images: each one's sentence reaches OpList.txt without the mark.
TEST(HeaderMark, EveryRoadIntoTheListDropsIt) {
    EditBench b;
    b.host.txtNo = "1";
    ASSERT_EQ(b.ops.addStep(1, EditBench::name(1), kMarked, "jpg", "", false, false), 0);
    b.addStep(EditBench::name(2), QStringLiteral("二"));
    b.addStep(EditBench::name(3), QStringLiteral("三"));

    MessageEditMemory memory;
    MessageEditSession editor(b.steps, b.ops, b.host, b.dialogs, memory);
    editor.load(2);
    editor.store(QStringLiteral("編集") + kMark + QStringLiteral("文"));

    SavingSearchHost searchHost(b.ops);
    StepSearch search(b.steps, searchHost);
    EXPECT_EQ(search.replaceAll(QStringLiteral("三"), QString(kMark) + "\t3", true).size(), 1);

    const QByteArray saved = readBytes(b.file("OpList.txt"));
    EXPECT_EQ(markCount(saved), 1) << saved.constData();
    ASSERT_EQ(reload(b), 3);
    EXPECT_EQ(b.steps.field(1, FieldMessage), QStringLiteral("前後"));
    EXPECT_EQ(b.steps.field(2, FieldMessage), QStringLiteral("編集文"));
    EXPECT_EQ(b.steps.field(3, FieldMessage), QStringLiteral("3"));
    EXPECT_EQ(b.steps.field(3, FieldExtension), "jpg");

    // The phrase of a list from images comes from Conf.txt, which may hold anything.
    b.put("p.png"); // the images of steps 2 and 3 are there too
    ASSERT_EQ(buildListFromImages(b.folder(), QStringLiteral("題\x03\t名")).count, 3);
    EXPECT_EQ(markCount(readBytes(b.file("OpList.txt"))), 1);
    ASSERT_EQ(reload(b), 3);
    EXPECT_EQ(b.steps.field(3, FieldImageName), "p.png");
    EXPECT_EQ(b.steps.field(3, FieldMessage), QStringLiteral("題 名"));
}

// A file that an older version let a mark into: the header stays the header,
// the mark goes, the original is kept, and saving no longer grows the list.
TEST(HeaderMark, DamagedFileLoadsWithItsHeaderAndStopsGrowing) {
    EditBench b;
    const QByteArray header =
        toShiftJis(QStringLiteral("最終行 = \t2\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
    const QByteArray damaged =
        header + "\ta\t\t1\t" + toShiftJis(kMarked) + "\tjpg\t\r\n" + "\tb\t\t2\tm\tjpg\t\r\n";
    b.put("OpList.txt", damaged);
    ASSERT_EQ(reload(b), 2);
    EXPECT_EQ(b.host.selected, 2); // the header's number, not a line count
    EXPECT_EQ(b.names(), QStringList({"a", "b"}));
    EXPECT_EQ(b.steps.field(1, FieldMessage), QStringLiteral("前後"));
    const QStringList backups = QDir(b.folder()).entryList({"OpList.txt.*.bak"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(readBytes(b.file(backups[0])), damaged);
    EXPECT_TRUE(fromShiftJis(readBytes(b.home.path("log.txt"))).contains(QStringLiteral("0x03")));
    EXPECT_TRUE(b.dialogs.messages.isEmpty()); // nothing was lost: no message box

    ASSERT_TRUE(b.ops.save());
    const QByteArray clean = readBytes(b.file("OpList.txt"));
    EXPECT_EQ(markCount(clean), 1);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(reload(b), 2);
        ASSERT_TRUE(b.ops.save());
        EXPECT_EQ(readBytes(b.file("OpList.txt")), clean);
    }
    EXPECT_EQ(QDir(b.folder()).entryList({"OpList.txt.*.bak"}).size(), 1);
}

// A file that already grew under an older version (each save turned the two
// header lines into steps) keeps its size from now on.
TEST(HeaderMark, AlreadyGrownFileKeepsItsSize) {
    EditBench b;
    QByteArray grown =
        toShiftJis(QStringLiteral("最終行 = \t1\t\r\n")) + QByteArray(28, '-') + "\x03\r\n";
    grown += "\t1                   \t\t1\t" + QByteArray(100, ' ') + "\t\t\r\n";
    grown += "\t                    \t\t2\t" + QByteArray(100, ' ') + "\t\t\r\n";
    grown += "\ta\t\t3\t" + toShiftJis(kMarked) + "\tjpg\t\r\n";
    b.put("OpList.txt", grown);
    ASSERT_EQ(reload(b), 3);
    b.host.txtNo = "3";
    ASSERT_TRUE(b.ops.save());
    const QByteArray first = readBytes(b.file("OpList.txt"));
    ASSERT_EQ(reload(b), 3);
    ASSERT_TRUE(b.ops.save());
    EXPECT_EQ(readBytes(b.file("OpList.txt")), first);
}

TEST(OpListRoundTrip, EscapeLookalikesAndAnEmptyNumberSurvive) {
    EditBench b;
    // Text that reads like the file-name escaping: the loader undoes the
    // escaping, so the writer has to protect it.
    const QStringList sentences = {QStringLiteral("Q&？と&＆＆"), QStringLiteral("a&b?c"),
                                   QStringLiteral("&￥;")};
    for (int i = 0; i < sentences.size(); ++i)
        b.steps.append(buildStepLine(i + 1, EditBench::name(i + 1), sentences[i], "jpg", ""));
    b.host.txtNo = QString(); // no step shown
    ASSERT_TRUE(b.ops.save());
    const QByteArray first = readBytes(b.file("OpList.txt"));
    EXPECT_TRUE(first.startsWith(toShiftJis(QStringLiteral("最終行 = \t0\t\r\n"))));
    EXPECT_TRUE(first.contains(toShiftJis(QStringLiteral("\ta&b?c")))); // untouched when safe

    ASSERT_EQ(reload(b), 3);
    EXPECT_FALSE(b.ops.loadFailed());
    for (int i = 0; i < sentences.size(); ++i)
        EXPECT_EQ(b.steps.field(i + 1, FieldMessage), sentences[i]);
    b.host.txtNo = QString();
    ASSERT_TRUE(b.ops.save());
    EXPECT_EQ(readBytes(b.file("OpList.txt")), first);
}

TEST(OpListRoundTrip, TextLevelLoadOfTheWritersOutputGivesTheSameLines) {
    const QStringList lines = {
        buildStepLine(1, QStringLiteral("名&＆前"), QStringLiteral("一\x04二"), "png", kCheckMark),
        buildStepLine(2, QStringLiteral("x"), QString(120, u'あ'), "jpg", "")};
    const QString text = opListFileText(lines, QStringLiteral("2"));
    const OpListRead read = parseOpListText(text);
    EXPECT_FALSE(read.badNumber);
    EXPECT_EQ(read.current, 2);
    EXPECT_EQ(read.lines, lines);
    EXPECT_EQ(read.markedLines, 0);
    EXPECT_EQ(read.ignoredLines, 0);
    // A line that is empty would end the list on loading: it is kept as a step.
    EXPECT_EQ(parseOpListText(opListFileText({lines[0], QString(), lines[1]}, "1")).lines.size(),
              3);
}
