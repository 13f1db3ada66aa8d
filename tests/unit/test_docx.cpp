#include "documentfolder.h"
#include "export/documentexport.h"
#include "export/documentlayout.h"
#include "export/docxparts.h"
#include "export/docxwriter.h"
#include "export/manualsteps.h"
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
    zip_t* zip = zip_open(zipPath(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
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
    // 96 dots per inch (0.75 pt, 9525 EMU a pixel); wider than the column
    // less the indent is scaled down, and so is taller than a page.
    EXPECT_EQ(pictureExtentEmu(QSize(300, 200), 2), QSize(300 * 9525, 200 * 9525));
    const QSize wide = pictureExtentEmu(QSize(2000, 500), 2);
    const double column = (page::kTextWidth - 2 * page::kBodySize) * 12700;
    EXPECT_NEAR(wide.width(), column, 1);
    EXPECT_NEAR(wide.height(), column / 4, 1);
    const QSize tall = pictureExtentEmu(QSize(400, 4000), 0);
    EXPECT_LT(tall.height(), page::kTextHeight * 12700);
    EXPECT_NEAR(double(tall.width()) / tall.height(), 0.1, 0.001);
    EXPECT_EQ(xmlEscaped(QString("a&<\">") + QChar(1) + "b"), QByteArray("a&amp;&lt;&quot;&gt;b"));
}

TEST(DocxWriter, TitleHeadingsFramedPicturesAndNothingOutside) {
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
    for (const char* part : {"word/footer1.xml", "word/fontTable.xml", "docProps/core.xml"})
        EXPECT_TRUE(parts.contains(part)) << part;
    EXPECT_EQ(parts.size(), 10);
    // The files themselves, not copies made anew.
    EXPECT_EQ(parts["word/media/image1.png"], readBytes(f.folder() + "2026120609050301.png"));

    const QString doc = QString::fromUtf8(parts["word/document.xml"]);
    const QString title = QDir(f.folder()).dirName();
    EXPECT_TRUE(doc.contains(
        "<w:pStyle w:val=\"Title\"/></w:pPr><w:r><w:t xml:space=\"preserve\">" + title + "</w:t>"));
    EXPECT_TRUE(doc.contains("<w:pStyle w:val=\"Subtitle\"/></w:pPr><w:r><w:t "
                             "xml:space=\"preserve\">" +
                             manualDate() + "</w:t>"));
    EXPECT_EQ(doc.count("<w:pStyle w:val=\"Heading2\"/>"), 3);
    // The number text of the other exports, then the sentence; a stored
    // line break breaks inside the heading paragraph.
    EXPECT_TRUE(doc.contains(QStringLiteral("<w:t xml:space=\"preserve\">001 [OK](ボタン)を")));
    EXPECT_TRUE(
        doc.contains(QStringLiteral("<w:t xml:space=\"preserve\">002 一行目</w:t><w:br/>"
                                    "<w:t xml:space=\"preserve\">二行目 &amp; &lt;x&gt;</w:t>")));
    EXPECT_EQ(doc.count("<w:drawing>"), 2);
    // Described by the sentence, framed by a thin grey line.
    EXPECT_EQ(doc.count(QStringLiteral("descr=\"[閉じる](ボタン)を、クリックします。\"")), 2);
    EXPECT_EQ(doc.count("<a:ln w=\"9525\"><a:solidFill><a:srgbClr val=\"808080\"/>"), 2);
    EXPECT_EQ(doc.count("<w:ind w:leftChars=\"200\" w:left=\"420\"/>"), 2);
    EXPECT_TRUE(doc.contains("<w:footerReference w:type=\"default\""));
    // Every picture is inside the package: no link leaves it.
    EXPECT_FALSE(doc.contains("hlinkClick"));
    for (const auto& name : parts.keys())
        if (name.endsWith(".rels")) {
            EXPECT_FALSE(parts[name].contains("External")) << name.toStdString();
            EXPECT_FALSE(parts[name].contains("file:")) << name.toStdString();
        }
    // Headings stay with their pictures; the fonts are Japanese sans fonts.
    const QString styles = QString::fromUtf8(parts["word/styles.xml"]);
    EXPECT_TRUE(QRegularExpression("w:styleId=\"Heading2\">.*?<w:keepNext/>.*?</w:style>")
                    .match(styles)
                    .hasMatch());
    EXPECT_TRUE(styles.contains("<w:rFonts w:ascii=\"Yu Gothic\" w:hAnsi=\"Yu Gothic\" "
                                "w:eastAsia=\"Yu Gothic\""));
    EXPECT_EQ(parts["word/fontTable.xml"].count("<w:family w:val=\"swiss\"/>"), 3);
    EXPECT_TRUE(parts["word/footer1.xml"].contains(" PAGE "));
    EXPECT_TRUE(parts["docProps/core.xml"].contains("<dc:title>" + title.toUtf8() + "</dc:title>"));
    EXPECT_EQ(f.progress.last(), QString());
    EXPECT_EQ(f.progress.first(), QStringLiteral("MsWord文書 作成中 ...... 1/3\r\n"));
}

TEST(DocxWriter, NormalStyleHeadingsAndEmptyList) {
    DocumentFolder f;
    threeSteps(f);
    Settings s;
    s.wdocStyleHeading = -1;
    s.wdocIndent = 0;
    DocxWriter writer(f, s);
    ASSERT_TRUE(writer.writeTo(f.folder() + "a.docx"));
    auto parts = readPackage(f.folder() + "a.docx");
    const QString doc = QString::fromUtf8(parts["word/document.xml"]);
    EXPECT_FALSE(doc.contains("<w:ind"));
    // Normal headings keep with their pictures by themselves, in bold.
    EXPECT_EQ(doc.count("<w:pStyle w:val=\"Normal\"/><w:keepNext/>"), 3);
    EXPECT_EQ(doc.count("<w:rPr><w:b/></w:rPr>"), 3);

    DocumentFolder empty;
    DocxWriter none(empty, Settings());
    ASSERT_TRUE(none.writeTo(empty.folder() + "e.docx"));
    parts = readPackage(empty.folder() + "e.docx");
    EXPECT_EQ(parts["word/document.xml"].count("<w:p>"), 2); // title and date
    EXPECT_FALSE(parts["word/document.xml"].contains("Heading"));
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
    EXPECT_TRUE(dialogs.shown[0].contains(QDir::toNativeSeparators(again)));
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
