#include "export/docxwriter.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/settings.h"
#include "tests/unit/documentfolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kFirst = QStringLiteral("[OK](ボタン)を、クリックします。");
const QString kLineOne = QStringLiteral("メモ帳に入力します。");
const QString kLineTwo = QStringLiteral("二行目です。");
const QString kThird = QStringLiteral("[閉じる](ボタン)を、クリックします。");

struct Result {
    int code = -1;
    QString out;
};

Result run(const QString& program, const QStringList& arguments, int timeoutMs = 120000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, arguments);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

QString withoutBlanks(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

int pictureCount(const QString& pdf) {
    const Result r = run("pdfimages", {"-list", pdf});
    if (r.code != 0) return -1;
    // Two header lines, then one line per picture.
    return static_cast<int>(r.out.split('\n', Qt::SkipEmptyParts).size()) - 2;
}

// One folder, both files, one converter run for the two of them.
class OfficeClients : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        f = new DocumentFolder;
        f->addStep(kFirst, "png");
        f->addStep(kLineOne + QChar(4) + kLineTwo, "txt");
        f->addStep(kThird, "jpg", QSize(900, 400));

        Settings s;
        s.paragraph = 1;
        StepDocument rich;
        rich.setDefaultFont(QFont("Noto Sans CJK JP", 10));
        buildRichText(rich, *f, s);
        int number = 0;
        QString error;
        rtfWritten = writeRtfFile(rich, f->folder() + "rich.rtf", &number, &error);

        DocxWriter writer(*f, s);
        docxWritten = writer.writeTo(f->folder() + "word.docx");
        Settings noLinks;
        noLinks.wdocSetHyperlink = 0;
        DocxWriter plain(*f, noLinks);
        plainWritten = plain.writeTo(f->folder() + "plain.docx");

        const QString profile = f->folder() + "profile";
        converted = run("soffice",
                        {"--headless", "--norestore",
                         "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
                         "--convert-to", "pdf", "--outdir", f->folder() + "pdf",
                         f->folder() + "rich.rtf", f->folder() + "word.docx"},
                        240000)
                        .code == 0;
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
    static QString pdf(const QString& name) { return f->folder() + "pdf/" + name + ".pdf"; }
    static QString text(const QString& name) { return run("pdftotext", {pdf(name), "-"}).out; }
    static QJsonObject readDocx(const QString& name) {
        const Result r = run("/usr/bin/python3", {KLAVORO_CHECK_DOCX, f->folder() + name});
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    }

    static inline DocumentFolder* f = nullptr;
    static inline bool rtfWritten = false, docxWritten = false, plainWritten = false,
                       converted = false;
};

} // namespace

TEST_F(OfficeClients, RichTextShowsEverySentenceAndOnePicturePerPictureStep) {
    ASSERT_TRUE(rtfWritten);
    ASSERT_TRUE(converted);
    const QString all = text("rich");
    const QString flat = withoutBlanks(all);
    EXPECT_TRUE(flat.contains("001" + kFirst)) << all.toStdString();
    EXPECT_TRUE(flat.contains("002" + kLineOne)) << all.toStdString();
    EXPECT_TRUE(flat.contains(kLineTwo));
    EXPECT_TRUE(flat.contains("003" + withoutBlanks(kThird)));
    EXPECT_LT(flat.indexOf(kFirst), flat.indexOf(kLineOne));
    EXPECT_LT(flat.indexOf(kLineTwo), flat.indexOf(kThird));
    EXPECT_EQ(pictureCount(pdf("rich")), 2);
}

TEST_F(OfficeClients, WordDocumentNumbersItsHeadingsAndShowsItsPictures) {
    ASSERT_TRUE(docxWritten);
    ASSERT_TRUE(converted);
    const QString all = text("word");
    const QString flat = withoutBlanks(all);
    // The numbers come from the word processor's numbering, not from our text.
    EXPECT_TRUE(flat.contains("1." + kFirst)) << all.toStdString();
    EXPECT_TRUE(flat.contains("2." + kLineOne + kLineTwo)) << all.toStdString();
    EXPECT_TRUE(flat.contains("3." + withoutBlanks(kThird))) << all.toStdString();
    // The stored line break breaks the heading into two lines.
    EXPECT_TRUE(QRegularExpression(kLineOne + "\\s*\\n\\s*" + kLineTwo).match(all).hasMatch());
    EXPECT_EQ(pictureCount(pdf("word")), 2);
}

TEST_F(OfficeClients, IndependentReaderFindsStyleNumberingAndLinks) {
    ASSERT_TRUE(docxWritten);
    const QJsonObject doc = readDocx("word.docx");
    ASSERT_FALSE(doc.isEmpty()) << "python-docx could not read the document";
    const QJsonArray paragraphs = doc["paragraphs"].toArray();
    ASSERT_EQ(paragraphs.size(), 3);
    for (const auto& p : paragraphs)
        EXPECT_EQ(p.toObject()["style"].toString(), "Heading 2");
    EXPECT_EQ(paragraphs[1].toObject()["text"].toString(), " " + kLineOne + "\n" + kLineTwo);
    const QJsonObject link = doc["numbering"].toObject()["Heading 2"].toObject();
    EXPECT_EQ(link["format"].toString(), "decimal");
    EXPECT_EQ(link["text"].toString(), "%1.");
    EXPECT_EQ(doc["pictures"].toInt(), 2);
    const QJsonArray links = doc["hyperlinks"].toArray();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].toString(),
              QUrl::fromLocalFile(f->folder() + "2026120609050301.png").toString());

    ASSERT_TRUE(plainWritten);
    const QJsonObject plain = readDocx("plain.docx");
    EXPECT_EQ(plain["pictures"].toInt(), 2);
    EXPECT_TRUE(plain["hyperlinks"].toArray().isEmpty());
}
