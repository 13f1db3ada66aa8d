#include "documentfolder.h"
#include "export/docxparts.h"
#include "export/docxwriter.h"
#include "export/wordexport.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <zip.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The named parts of a zip archive; an entry that cannot be read is missing.
QMap<QString, QByteArray> readPackage(const QString& path) {
    QMap<QString, QByteArray> parts;
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!zip) return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
        zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
        if (!file) continue;
        QByteArray data(static_cast<qsizetype>(st.size), '\0');
        if (zip_fread(file, data.data(), st.size) == static_cast<zip_int64_t>(st.size))
            parts.insert(QString::fromUtf8(st.name), data);
        zip_fclose(file);
    }
    zip_close(zip);
    return parts;
}

class FakeShell : public Shell {
public:
    bool open(const QString& path) override {
        opened << path;
        return true;
    }
    bool hasProgramFor(const QString&) override { return registered; }
    bool showFolder(const QString&) override { return false; }
    QStringList opened;
    bool registered = true;
};

class RecordingDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        shown << title + ": " + text;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
    QStringList shown;
};

void threeSteps(DocumentFolder& f) {
    f.addStep(QStringLiteral("[OK](ボタン)を、クリックします。"), "png");
    f.addStep(QStringLiteral("一行目") + QChar(4) + QStringLiteral("二行目 & <x>"), "txt");
    f.addStep(QStringLiteral("[閉じる](ボタン)を、クリックします。"), "jpg", QSize(2000, 500));
}

} // namespace

TEST(DocxParts, HeadingStylesByBuiltInIdentifier) {
    EXPECT_EQ(headingStyleOf(-1).id, "Normal");
    EXPECT_EQ(headingStyleOf(-2).id, "Heading1");
    EXPECT_EQ(headingStyleOf(-3).level, 2);
    EXPECT_EQ(headingStyleOf(-10).id, "Heading9");
    // Identifiers of no heading fall back to the default heading 2.
    EXPECT_EQ(headingStyleOf(0).id, "Heading2");
    EXPECT_EQ(headingStyleOf(-11).id, "Heading2");
    // 96 dots per inch; wider than the column less the indent is scaled down.
    EXPECT_EQ(pictureExtentEmu(QSize(300, 200), 2), QSize(300 * 9525, 200 * 9525));
    const QSize wide = pictureExtentEmu(QSize(2000, 500), 2);
    EXPECT_EQ(wide.width(), (8504 - 420) / 15 * 9525);
    EXPECT_EQ(wide.height(), qRound(500.0 * 538 / 2000 * 9525));
    EXPECT_EQ(xmlEscaped(QString("a&<\">") + QChar(1) + "b"), QByteArray("a&amp;&lt;&quot;&gt;b"));
}

TEST(DocxWriter, HeadingsNumberingPicturesAndLinks) {
    DocumentFolder f;
    threeSteps(f);
    Settings s;
    const QString path = f.folder() + "out.docx";
    DocxWriter writer(f, s);
    ASSERT_TRUE(writer.writeTo(path)) << writer.error().toStdString();
    const auto parts = readPackage(path);
    ASSERT_TRUE(parts.contains("[Content_Types].xml"));
    ASSERT_TRUE(parts.contains("word/media/image1.png"));
    ASSERT_TRUE(parts.contains("word/media/image3.jpeg"));
    EXPECT_EQ(parts.size(), 8);
    EXPECT_EQ(parts["word/media/image1.png"], readBytes(f.folder() + "2026120609050301.png"));

    const QString doc = QString::fromUtf8(parts["word/document.xml"]);
    EXPECT_EQ(doc.count("<w:pStyle w:val=\"Heading2\"/>"), 3);
    // The stored line break breaks inside the heading paragraph.
    EXPECT_TRUE(
        doc.contains(QStringLiteral("<w:t xml:space=\"preserve\"> 一行目</w:t><w:br/>"
                                    "<w:t xml:space=\"preserve\">二行目 &amp; &lt;x&gt;</w:t>")));
    EXPECT_EQ(doc.count("<w:drawing>"), 2);
    EXPECT_EQ(doc.count("<a:hlinkClick r:id="), 2);
    EXPECT_EQ(doc.count("<w:ind w:leftChars=\"200\" w:left=\"420\"/>"), 3);
    const QString rels = QString::fromUtf8(parts["word/_rels/document.xml.rels"]);
    EXPECT_EQ(rels.count("TargetMode=\"External\""), 2);
    EXPECT_TRUE(rels.contains("Target=\"file://" + f.folder() + "2026120609050303.jpg\""));
    // Heading 2 carries the link to the numbering, whose level names it back.
    const QString styles = QString::fromUtf8(parts["word/styles.xml"]);
    EXPECT_TRUE(QRegularExpression("w:styleId=\"Heading2\">.*?<w:numId w:val=\"1\"/>.*?</w:style>")
                    .match(styles)
                    .hasMatch());
    EXPECT_EQ(styles.count("<w:numId"), 1);
    const QString numbering = QString::fromUtf8(parts["word/numbering.xml"]);
    EXPECT_TRUE(numbering.contains("<w:pStyle w:val=\"Heading2\"/><w:lvlText w:val=\"%1.\"/>"));
    EXPECT_EQ(f.progress.last(), QString());
    EXPECT_EQ(f.progress.first(), QStringLiteral("MsWord文書 作成中 ...... 1/3\r\n"));
}

TEST(DocxWriter, NoLinksNormalStyleAndEmptyList) {
    DocumentFolder f;
    threeSteps(f);
    Settings s;
    s.wdocSetHyperlink = 0;
    s.wdocStyleHeading = -1;
    s.wdocIndent = 0;
    DocxWriter writer(f, s);
    ASSERT_TRUE(writer.writeTo(f.folder() + "a.docx"));
    auto parts = readPackage(f.folder() + "a.docx");
    const QString doc = QString::fromUtf8(parts["word/document.xml"]);
    EXPECT_FALSE(doc.contains("hyperlink"));
    EXPECT_FALSE(doc.contains("hlinkClick"));
    EXPECT_FALSE(doc.contains("<w:ind"));
    EXPECT_FALSE(parts["word/_rels/document.xml.rels"].contains("hyperlink"));
    // Normal headings are numbered one by one; the normal style itself is not linked.
    EXPECT_EQ(doc.count("<w:pStyle w:val=\"Normal\"/><w:numPr>"), 3);
    EXPECT_FALSE(parts["word/styles.xml"].contains("<w:numId"));

    DocumentFolder empty;
    DocxWriter none(empty, Settings());
    ASSERT_TRUE(none.writeTo(empty.folder() + "e.docx"));
    parts = readPackage(empty.folder() + "e.docx");
    EXPECT_TRUE(parts["word/styles.xml"].contains("<w:numId w:val=\"1\"/>"));
    EXPECT_TRUE(parts["word/document.xml"].contains("<w:body><w:p/><w:sectPr>"));
}

TEST(DocxWriter, NewNamesNeverReplaceAFile) {
    DocumentFolder f;
    f.addStep("a", "png");
    writeBytes(f.folder() + QStringLiteral("操作説明.docx"), "keep me");
    DocxWriter writer(f, Settings());
    const QString first = writer.writeNew();
    EXPECT_EQ(first, f.folder() + QStringLiteral("操作説明(2).docx"));
    const QString second = writer.writeNew();
    EXPECT_EQ(second, f.folder() + QStringLiteral("操作説明(3).docx"));
    EXPECT_EQ(readBytes(f.folder() + QStringLiteral("操作説明.docx")), QByteArray("keep me"));
    EXPECT_TRUE(readPackage(second).contains("word/document.xml"));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(f.folder()).entryList(QDir::Files | QDir::Hidden).filter("tmp").size(), 0);
}

TEST(WordExport, OpensTheDocumentOrSaysWhereItIs) {
    DocumentFolder f;
    f.addStep("a", "png");
    FakeShell shell;
    RecordingDialogs dialogs;
    const QString path = exportWordDocument(f, Settings(), dialogs, &shell);
    EXPECT_EQ(shell.opened, QStringList{path});
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(f.progress.first(), QStringLiteral("処理中...."));

    shell.registered = false;
    const QString again = exportWordDocument(f, Settings(), dialogs, &shell);
    EXPECT_EQ(shell.opened.size(), 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith(kWordExportTitle));
    EXPECT_TRUE(dialogs.shown[0].contains(again));
    EXPECT_TRUE(QFileInfo::exists(again));

    // A folder that went away: a message, nothing opened.
    DocumentFolder gone;
    gone.addStep("a", "png");
    const QString missing = gone.folder();
    gone.dir.remove();
    class MissingFolder : public DocumentFolder {
    public:
        QString where;
        QString captureFolder() const override { return where; }
    } host;
    host.where = missing;
    dialogs.shown.clear();
    shell.opened.clear();
    EXPECT_TRUE(exportWordDocument(host, Settings(), dialogs, &shell).isEmpty());
    EXPECT_TRUE(shell.opened.isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].contains(QStringLiteral("保存できません")));
}
