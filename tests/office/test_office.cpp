#include "clients.h"
#include "export/documentsteps.h"
#include "export/docxwriter.h"
#include "export/htmlmanual.h"
#include "export/manualsteps.h"
#include "export/markdownwriter.h"
#include "export/pdfwriter.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace klavoro;
using namespace klavoro::test;

namespace {

constexpr int kSteps = 30;
const QString kTitle = QStringLiteral("経費精算の手順");
const QString kHostile = QStringLiteral("山田 & <太郎> \"x\"");
const QString kEmoji = QStringLiteral("保存しました😀を確認します。");
const QString kLong = QStringLiteral("長い説明文です。").repeated(25); // 200 characters
const QString kLineOne = QStringLiteral("メモ帳に入力します。");
const QString kLineTwo = QStringLiteral("二行目です。");

QString sentence(int i) {
    switch (i) {
    case 5:
        return kHostile;
    case 6:
        return kEmoji;
    case 7:
        return kLong;
    case 8:
        return kLineOne + QChar(4) + kLineTwo;
    default:
        break;
    }
    static const QStringList plain = {
        QStringLiteral("[OK](ボタン)を、クリックします。"),
        QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"),
        QStringLiteral("[ユーザー名](編集可能テキスト)に「山田太郎」を入力します。"),
        QStringLiteral("[表示設定](タブ)の[詳細オプション](チェックボックス)を、クリックします。"),
    };
    return plain[i % plain.size()];
}

// A capture folder named as users name theirs.
class ManualFolder : public ExportHost {
public:
    ManualFolder() { QDir().mkpath(folder()); }
    QString folder() const { return dir.path() + QStringLiteral("/経費精算の手順/"); }
    int stepCount() const override { return steps.count(); }
    QString stepLine(int n) const override { return steps.line(n); }
    QString captureFolder() const override { return folder(); }
    void showProgress(const QString&) override {}

    QTemporaryDir dir;
    StepList steps;
};

class Quiet : public HtmlManualHost, public Dialogs {
public:
    void showProgress(const QString&, int) override {}
    void setStatus(const QString&) override {}
    void letEventsRun() override {}
    bool cancelRequested() const override { return false; }
    void openPage(const QString&) override {}
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

// A capture of the "around" target: 300 x 300 pixels of a window with a
// button, the marker around it and text, saved as the recorder saves it.
void addAroundStep(ManualFolder& f, int i) {
    const QString name = QString::number(2026120609050300LL + i);
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(QColor(0xf0, 0xf0, 0xf0));
    QPainter p(&image);
    p.fillRect(0, 0, 300, 28, QColor::fromHsv((i * 37) % 360, 90, 200));
    p.setPen(Qt::black);
    p.drawText(QRect(8, 40, 280, 60), Qt::TextWordWrap,
               QStringLiteral("設定の画面 %1: 名前を入力してください").arg(i));
    p.fillRect(110, 140, 80, 30, Qt::white);
    p.drawRect(110, 140, 80, 30);
    p.drawText(QRect(110, 140, 80, 30), Qt::AlignCenter, "OK");
    p.setPen(QPen(Qt::red, 2));
    p.drawRoundedRect(QRect(107, 137, 86, 36), 6, 6);
    p.end();
    image.save(f.folder() + name + ".jpg", "jpeg", 85);
    f.steps.append(buildStepLine(i, name, sentence(i), "jpg", QString()));
}

QString heading(int i) {
    return QStringLiteral("%1 ").arg(i, 3, 10, QLatin1Char('0')) + sentence(i).split(QChar(4))[0];
}

// The start of a step's heading as found in extracted text: number and the
// first words, blanks dropped.
QString headingKey(int i) {
    return withoutBlanks(heading(i)).left(9);
}

// Thirty steps of "around" pictures, written as Word document, rich text,
// PDF, HTML manual and Markdown; the first two also converted to PDF by
// LibreOffice.
class ThirtySteps : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        f = new ManualFolder;
        for (int i = 1; i <= kSteps; ++i)
            addAroundStep(*f, i);
        const Settings s;
        StepDocument rich;
        buildRichText(rich, *f, s);
        int number = 0;
        QString error;
        rtfWritten = writeRtfFile(rich, path("rich.rtf"), &number, &error);
        docxWritten = DocxWriter(*f, s).writeTo(path("word.docx"));
        PdfWriter pdf(*f, s);
        pdfWritten = pdf.writeTo(path("manual.pdf"));
        Quiet quiet;
        htmlWritten = writeHtmlManual(f->steps, s, {f->folder(), KLAVORO_SOURCE_DIR "/parts/js"},
                                      false, quiet, quiet) == HtmlResult::Written;
        markdownWritten = MarkdownWriter(*f, s).writeTo(path("manual.md"));
        const QString profile = f->folder() + "profile";
        converted =
            run("soffice",
                {"--headless", "--norestore",
                 "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), "--convert-to",
                 "pdf", "--outdir", f->folder() + "lo", path("rich.rtf"), path("word.docx")},
                300000)
                .code == 0;
        for (const char* name : {"word.docx", "rich.rtf", "manual.pdf", "index.htm", "manual.md",
                                 "lo/word.pdf", "lo/rich.pdf"})
            std::printf("%-12s %8lld bytes, %d pages\n", name,
                        static_cast<long long>(QFileInfo(path(name)).size()),
                        QString(name).endsWith(".pdf") ? pdfPages(path(name)) : 0);
    }
    static void TearDownTestSuite() {
        // KLAVORO_KEEP_OFFICE=1 keeps the files to look at.
        if (qEnvironmentVariableIsSet("KLAVORO_KEEP_OFFICE")) {
            f->dir.setAutoRemove(false);
            std::printf("files kept in %s\n", qPrintable(f->folder()));
        }
        delete f;
        f = nullptr;
    }
    static QString path(const QString& name) { return f->folder() + name; }

    // Every step's heading is on the page that shows its picture: per page,
    // as many pictures as headings; and every heading is found once.
    static void expectHeadingsWithTheirPictures(const QString& pdf) {
        const QList<PdfImage> images = pdfImages(pdf);
        EXPECT_EQ(images.size(), kSteps) << pdf.toStdString();
        const int pages = pdfPages(pdf);
        int found = 0;
        for (int page = 1; page <= pages; ++page) {
            const QString text = withoutBlanks(pdfText(pdf, page));
            int headings = 0;
            for (int i = 1; i <= kSteps; ++i)
                if (text.contains(headingKey(i))) ++headings;
            const auto pictures = std::count_if(
                images.begin(), images.end(), [page](const PdfImage& m) { return m.page == page; });
            EXPECT_EQ(pictures, headings) << pdf.toStdString() << " page " << page;
            found += headings;
        }
        EXPECT_EQ(found, kSteps) << pdf.toStdString();
    }
    // Every font is embedded and Japanese text is set in a sans font.
    static void expectEmbeddedSansFonts(const QString& pdf) {
        const QList<PdfFont> fonts = pdfFonts(pdf);
        ASSERT_FALSE(fonts.isEmpty()) << pdf.toStdString();
        bool japanese = false;
        for (const PdfFont& font : fonts) {
            EXPECT_TRUE(font.embedded) << font.name.toStdString();
            EXPECT_FALSE(font.name.contains("Serif") || font.name.contains("Mincho") ||
                         font.name.contains("Times"))
                << font.name.toStdString();
            japanese = japanese || font.name.contains("CJK");
        }
        EXPECT_TRUE(japanese) << pdf.toStdString();
    }
    static void expectHostileSentences(const QString& pdf) {
        const QString all = withoutBlanks(pdfText(pdf));
        EXPECT_TRUE(all.contains(withoutBlanks(kHostile))) << pdf.toStdString();
        // All of the long one (readers may hang a full stop into the margin,
        // which text extraction then puts elsewhere).
        EXPECT_EQ(all.count(QStringLiteral("長い説明文")), 25) << pdf.toStdString();
        EXPECT_TRUE(all.contains(kEmoji)) << pdf.toStdString();
        EXPECT_TRUE(all.contains(kLineOne + kLineTwo)) << pdf.toStdString();
        // The title and the date start the document.
        EXPECT_TRUE(all.startsWith(kTitle + manualDate())) << all.left(80).toStdString();
    }

    static inline ManualFolder* f = nullptr;
    static inline bool rtfWritten = false, docxWritten = false, pdfWritten = false,
                       htmlWritten = false, markdownWritten = false, converted = false;
};

} // namespace

TEST_F(ThirtySteps, WordDocumentOpenedByLibreOffice) {
    ASSERT_TRUE(docxWritten);
    ASSERT_TRUE(converted);
    const QString pdf = path("lo/word.pdf");
    // Three pictures to a page after the title's page: about ten pages.
    EXPECT_LE(pdfPages(pdf), 11);
    expectHeadingsWithTheirPictures(pdf);
    expectEmbeddedSansFonts(pdf);
    expectHostileSentences(pdf);
    // A page of steps is mostly pictures and text, not white paper.
    EXPECT_GT(inkOnPage(pdf, 2, f->folder()), 0.2);
    // The footer numbers the pages.
    EXPECT_TRUE(pdfText(pdf, 2).contains("2 / " + QString::number(pdfPages(pdf))));
}

TEST_F(ThirtySteps, RichTextOpenedByLibreOffice) {
    ASSERT_TRUE(rtfWritten);
    ASSERT_TRUE(converted);
    const QString pdf = path("lo/rich.pdf");
    expectHeadingsWithTheirPictures(pdf);
    expectEmbeddedSansFonts(pdf);
    expectHostileSentences(pdf);
}

TEST_F(ThirtySteps, PdfReadByPoppler) {
    ASSERT_TRUE(pdfWritten);
    const QString pdf = path("manual.pdf");
    EXPECT_LE(pdfPages(pdf), 11);
    expectHeadingsWithTheirPictures(pdf);
    expectEmbeddedSansFonts(pdf);
    expectHostileSentences(pdf);
    EXPECT_GT(inkOnPage(pdf, 2, f->folder()), 0.2);
    EXPECT_TRUE(pdfText(pdf, 2).contains("2 / " + QString::number(pdfPages(pdf))));
    // The JPEG files at full resolution, stored as JPEG: the file is about
    // as large as the pictures it holds.
    qint64 pictures = 0;
    for (const PdfImage& image : pdfImages(pdf)) {
        EXPECT_EQ(image.encoding, "jpeg");
        EXPECT_EQ(image.width, 300);
        EXPECT_EQ(image.height, 300);
    }
    for (int i = 1; i <= kSteps; ++i)
        pictures +=
            QFileInfo(f->folder() + QString::number(2026120609050300LL + i) + ".jpg").size();
    EXPECT_LT(QFileInfo(pdf).size(), pictures + 400 * 1024);
    // Selectable text, in step order.
    const QString text = withoutBlanks(pdfText(pdf));
    qsizetype at = 0;
    for (int i = 1; i <= kSteps; ++i) {
        const qsizetype next = text.indexOf(headingKey(i), at);
        EXPECT_GE(next, at) << i;
        at = std::max(at, next);
    }
}

TEST_F(ThirtySteps, WordDocumentReadByPythonDocx) {
    ASSERT_TRUE(docxWritten);
    const Result r = run("/usr/bin/python3", {KLAVORO_CHECK_DOCX, path("word.docx")});
    const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    ASSERT_FALSE(doc.isEmpty()) << "python-docx could not read the document";
    const QJsonArray paragraphs = doc["paragraphs"].toArray();
    ASSERT_EQ(paragraphs.size(), kSteps + 2);
    EXPECT_EQ(paragraphs[0].toObject()["style"].toString(), "Title");
    EXPECT_EQ(paragraphs[0].toObject()["text"].toString(), kTitle);
    EXPECT_EQ(paragraphs[1].toObject()["text"].toString(), manualDate());
    for (int i = 1; i <= kSteps; ++i) {
        const QJsonObject p = paragraphs[i + 1].toObject();
        EXPECT_EQ(p["style"].toString(), "Heading 2");
        QString text = sentence(i);
        EXPECT_EQ(p["text"].toString(), heading(i).left(4) + text.replace(QChar(4), '\n'));
    }
    // Every picture is inside the file, described by its sentence.
    const QJsonArray pictures = doc["pictures"].toArray();
    ASSERT_EQ(pictures.size(), kSteps);
    for (int i = 1; i <= kSteps; ++i) {
        const QJsonObject picture = pictures[i - 1].toObject();
        EXPECT_TRUE(picture["embedded"].toBool()) << i;
        EXPECT_EQ(picture["alt"].toString(), sentence(i).replace(QChar(4), ' ')) << i;
        // 300 pixels at 96 dots per inch: 225 points of 12700 EMU.
        EXPECT_EQ(picture["width"].toInt(), 225 * 12700) << i;
    }
    EXPECT_EQ(doc["media"].toArray().size(), kSteps);
    EXPECT_TRUE(doc["external"].toArray().isEmpty());
    EXPECT_EQ(doc["title"].toString(), kTitle);
    EXPECT_EQ(doc["eastAsiaFont"].toString(), "Yu Gothic");
}

// The HTML manual and the Markdown file say the same of the same steps (the
// browser tests open them).
TEST_F(ThirtySteps, HtmlManualAndMarkdownOfTheSameSteps) {
    ASSERT_TRUE(htmlWritten);
    ASSERT_TRUE(markdownWritten);
    const QString html = readTextFile(path("index.htm"), QStringLiteral("shift-jis"), nullptr);
    EXPECT_TRUE(html.contains("<TITLE>" + kTitle + "</TITLE>"));
    EXPECT_EQ(html.count(" alt='"), kSteps);
    const QString markdown = readTextFile(path("manual.md"), QStringLiteral("utf-8"), nullptr);
    EXPECT_TRUE(markdown.startsWith("# " + kTitle + "\n"));
    EXPECT_EQ(markdown.count("\n## "), kSteps);
    EXPECT_EQ(markdown.count("\n!["), kSteps);
    for (int i = 1; i <= kSteps; ++i) {
        EXPECT_TRUE(html.contains(
            QStringLiteral("<span class='no'>%1 </span>").arg(i, 3, 10, QLatin1Char('0'))))
            << i;
        EXPECT_TRUE(markdown.contains("## " + markdownInline(heading(i)) + "\n")) << i;
    }
}
