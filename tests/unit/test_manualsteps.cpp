#include "documentfolder.h"
#include "export/docxwriter.h"
#include "export/htmlmanual.h"
#include "export/htmlpage.h"
#include "export/htmltext.h"
#include "export/manualsteps.h"
#include "export/markdownwriter.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/settings.h"
#include "testutil.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <zip.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kHostile = QStringLiteral("山田 & <太郎> \"x\" 😀 [OK](ボタン)");

class QuietHtmlHost : public HtmlManualHost {
public:
    void showProgress(const QString&, int) override {}
    void setStatus(const QString&) override {}
    void letEventsRun() override {}
    bool cancelRequested() const override { return false; }
    void openPage(const QString&) override {}
};

// A folder with every kind of step the exports must agree on.
void mixedSteps(DocumentFolder& f) {
    f.addStep(QStringLiteral("[OK](ボタン)を、クリックします。"), "png", QSize(40, 30));
    f.addStep(QStringLiteral("メモ"), "txt");
    f.addStep(QStringLiteral("一行目") + QChar(4) + QStringLiteral("二行目"), "jpg", QSize(50, 20));
    f.addStep(QStringLiteral("ファイルがない手順"), "");
    // A name with a character that file names cannot hold: stored escaped.
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(f.folder() + QStringLiteral("a&：b.png"));
    f.steps.append(buildStepLine(5, QStringLiteral("a:b"), kHostile, "png", QString()));
}

int zipEntries(const QString& path, const QString& prefix) {
    int code = 0, n = 0;
    zip_t* zip = zip_open(klavoro::test::zipPath(path).constData(), ZIP_RDONLY, &code);
    if (!zip) return -1;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        if (QString::fromUtf8(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0))
                .startsWith(prefix))
            ++n;
    zip_close(zip);
    return n;
}

} // namespace

TEST(ManualSteps, NumberSentenceFileAndPictureOfEachStep) {
    DocumentFolder f;
    mixedSteps(f);
    Settings s;
    s.noFormat = 1;
    s.noPeriod = 1;
    const ManualSteps steps = ManualSteps::of(f, s);
    ASSERT_EQ(steps.count(), 5);

    const ManualStep png = steps.withPicture(1);
    EXPECT_EQ(png.numberText, "1. ");
    EXPECT_EQ(png.lines, QStringList{QStringLiteral("[OK](ボタン)を、クリックします。")});
    EXPECT_EQ(png.fileName, "2026120609050301.png");
    EXPECT_EQ(png.filePath, f.folder() + "2026120609050301.png");
    EXPECT_EQ(png.picture, ManualStep::Picture::Png);
    EXPECT_EQ(png.size, QSize(40, 30));

    const ManualStep note = steps.withPicture(2);
    EXPECT_TRUE(note.textFile);
    EXPECT_FALSE(note.hasPicture());

    const ManualStep twoLines = steps.withPicture(3);
    EXPECT_EQ(twoLines.lines, (QStringList{QStringLiteral("一行目"), QStringLiteral("二行目")}));
    EXPECT_EQ(twoLines.altText(), QStringLiteral("一行目 二行目"));
    EXPECT_EQ(twoLines.picture, ManualStep::Picture::Jpeg);
    EXPECT_EQ(twoLines.size, QSize(50, 20));

    const ManualStep missing = steps.withPicture(4);
    EXPECT_TRUE(missing.fileName.isEmpty());
    EXPECT_FALSE(missing.hasPicture());
    EXPECT_FALSE(missing.textFile);

    // Found under its escaped name; the plain step() does not read the picture.
    const ManualStep escaped = steps.step(5);
    EXPECT_EQ(escaped.fileName, QStringLiteral("a&：b.png"));
    EXPECT_EQ(escaped.picture, ManualStep::Picture::None);
    EXPECT_EQ(steps.withPicture(5).size, QSize(30, 30));
}

TEST(ManualSteps, TitleFromTheFolderAndTheDate) {
    EXPECT_EQ(manualTitle("/home/me/会議室の予約/"), QStringLiteral("会議室の予約"));
    EXPECT_EQ(manualTitle("/home/me/data"), "data");
    EXPECT_EQ(manualTitle("/"), QStringLiteral("操作説明"));
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("経費精算/NO_RECT");
    EXPECT_EQ(manualTitle(dir.path() + QStringLiteral("/経費精算/NO_RECT/")),
              QStringLiteral("経費精算 (NO_RECT)"));
    EXPECT_EQ(manualDate(QDate(2026, 12, 6)), QStringLiteral("2026年12月6日"));
}

// HTML, rich text, Word and Markdown number the same steps the same way,
// show the same sentences and place a picture for the same steps.
TEST(ManualSteps, EveryExportSaysTheSame) {
    DocumentFolder f;
    mixedSteps(f);
    Settings s;
    const ManualSteps steps = ManualSteps::of(f, s);

    QString html;
    QuietHtmlHost htmlHost;
    ASSERT_TRUE(buildHtmlBody(f.steps, s, f.folder(), false, htmlHost, &html));
    StepDocument rich;
    const int richPictures = buildRichText(rich, f, s);
    const QByteArray rtf = rtfFromDocument(rich);
    DocxWriter docx(f, s);
    ASSERT_TRUE(docx.writeTo(f.folder() + "x.docx"));
    const QString markdown = markdownText(steps, "t", "d");

    const QString plainText = rich.toPlainText();
    for (int i = 1; i <= steps.count(); ++i) {
        const ManualStep step = steps.step(i);
        const QString heading = step.numberText + step.lines.first();
        EXPECT_TRUE(plainText.contains(heading)) << i;
        EXPECT_TRUE(rtf.contains(rtfText(heading))) << i;
        EXPECT_TRUE(markdown.contains("## " + markdownInline(heading) + '\n')) << i;
        // The HTML manual leaves notes out; their numbers stay unused.
        EXPECT_EQ(html.contains(sentenceHtml(step.lines)), !step.textFile) << i;
        EXPECT_EQ(html.contains(">" + step.numberText + "<"), !step.textFile) << i;
    }
    // Steps 1, 3 and 5 have pictures; the note and the missing file do not.
    EXPECT_EQ(richPictures, 3);
    EXPECT_EQ(rtf.count("{\\pict"), 3);
    EXPECT_EQ(zipEntries(f.folder() + "x.docx", "word/media/"), 3);
    EXPECT_EQ(markdown.count("\n!["), 3);
    EXPECT_EQ(html.count("<IMG src='2026") + html.count("<IMG src='a"), 3);
    // Every picture is described by its sentence.
    EXPECT_TRUE(html.contains("alt='" + htmlAttribute(kHostile) + "'"));
    EXPECT_TRUE(markdown.contains("![" + markdownInline(kHostile) + "](a%26%EF%BC%9Ab.png)"));
}
