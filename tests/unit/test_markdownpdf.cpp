#include "documentfolder.h"
#include "export/documentexport.h"
#include "export/manualsteps.h"
#include "export/markdownwriter.h"
#include "export/pdfwriter.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "testutil.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class FakeShell : public Shell {
public:
    bool open(const QString& path) override {
        opened << path;
        return true;
    }
    bool hasProgramFor(const QString&) override { return true; }
    bool showFolder(const QString&) override { return false; }
    QStringList opened;
};

class RecordingDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        shown << title + ": " + text;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
    QStringList shown;
};

QByteArray jpegBytes(int w, int h, bool progressive = false) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

} // namespace

TEST(Markdown, TextStaysTextAndLinesStayLines) {
    // A sentence's brackets would be a link, its < > HTML, its & an entity.
    EXPECT_EQ(markdownInline(QStringLiteral("[OK](ボタン) *a* _b_ `c` <d> & e|f ~g~ #h \\")),
              QStringLiteral("\\[OK\\](ボタン) \\*a\\* \\_b\\_ \\`c\\` \\<d\\> \\& e\\|f \\~g\\~ "
                             "\\#h \\\\"));
    EXPECT_EQ(markdownInline("a\tb\nc"), "a b c");
    // Starts of lines that would make a list, a quote or a rule.
    EXPECT_EQ(markdownLine("- item"), "\\- item");
    EXPECT_EQ(markdownLine("+ item"), "\\+ item");
    EXPECT_EQ(markdownLine("> quote"), "\\> quote");
    EXPECT_EQ(markdownLine("==="), "\\===");
    EXPECT_EQ(markdownLine("12. twelve"), "12\\. twelve");
    EXPECT_EQ(markdownLine("3) three"), "3\\) three");
    EXPECT_EQ(markdownLine(QStringLiteral("2026年12月6日")), QStringLiteral("2026年12月6日"));
    EXPECT_EQ(markdownLine("   indented"), "indented");
}

TEST(Markdown, TitleNumberedStepsAndRelativeImages) {
    DocumentFolder f;
    f.addStep(QStringLiteral("[OK](ボタン)を、クリックします。"), "png");
    f.addStep(QStringLiteral("一行目") + QChar(4) + QStringLiteral("- 二行目"), "txt");
    f.addStep(QStringLiteral("画像なし"), "");
    f.steps.append(buildStepLine(4, QStringLiteral("名前 (1)"), "x", "jpg", QString()));
    QImage(4, 4, QImage::Format_RGB32).save(f.folder() + QStringLiteral("名前 (1).jpg"));
    const QString text = markdownText(ManualSteps::of(f, Settings()), QStringLiteral("手順 #1"),
                                      QStringLiteral("2026年12月6日"));
    EXPECT_EQ(text,
              QStringLiteral("# 手順 \\#1\n\n2026年12月6日\n"
                             "\n## 001 \\[OK\\](ボタン)を、クリックします。\n"
                             "\n![\\[OK\\](ボタン)を、クリックします。](2026120609050301.png)\n"
                             "\n## 002 一行目\n\n\\- 二行目\n"
                             "\n## 003 画像なし\n"
                             "\n## 004 x\n"
                             "\n![x](%E5%90%8D%E5%89%8D%20%281%29.jpg)\n"));
}

TEST(Markdown, WrittenAsUtf8UnderANewName) {
    DocumentFolder f;
    f.addStep(QStringLiteral("山田 & <太郎> \"x\" 😀"), "jpg");
    writeBytes(f.folder() + QStringLiteral("操作説明.md"), "keep");
    FakeShell shell;
    RecordingDialogs dialogs;
    const QString path = exportMarkdownDocument(f, Settings(), dialogs, &shell);
    EXPECT_EQ(path, f.folder() + QStringLiteral("操作説明(2).md"));
    EXPECT_EQ(shell.opened, QStringList{path});
    EXPECT_EQ(readBytes(f.folder() + QStringLiteral("操作説明.md")), QByteArray("keep"));
    const QString text = QString::fromUtf8(readBytes(path));
    EXPECT_TRUE(text.contains(QStringLiteral("## 001 山田 \\& \\<太郎\\> \"x\" 😀\n")));
    EXPECT_TRUE(text.startsWith("# " + markdownInline(QDir(f.folder()).dirName()) + "\n"));

    // An empty list writes nothing.
    DocumentFolder empty;
    EXPECT_TRUE(exportMarkdownDocument(empty, Settings(), dialogs, &shell).isEmpty());
    EXPECT_EQ(dialogs.shown.last(), QStringLiteral("Markdown作成不可: データがありません！"));
    EXPECT_TRUE(QDir(empty.folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Pdf, OnlyPlainJpegFilesGoInUnchanged) {
    EXPECT_TRUE(isPlainJpeg(jpegBytes(40, 30)));
    EXPECT_TRUE(isPlainJpeg(jpegBytes(40, 30, true)));
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    grey.save(&buffer, "jpeg");
    EXPECT_TRUE(isPlainJpeg(bytes));
    // Cut off before the frame, not a JPEG at all, or a lossless frame.
    EXPECT_FALSE(isPlainJpeg(jpegBytes(40, 30).left(20)));
    EXPECT_FALSE(isPlainJpeg("\x89PNG\r\n\x1a\n0000000000"));
    QByteArray lossless = jpegBytes(8, 8);
    const qsizetype sof = lossless.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    lossless[sof + 1] = char(0xC3);
    EXPECT_FALSE(isPlainJpeg(lossless));
}

TEST(Pdf, HeadingsMoveToTheNextPageWithTheirPictures) {
    DocumentFolder f;
    // 300 x 300 pixels are 225 points: three steps to a page, the title
    // taking the room of one on the first.
    for (int i = 0; i < 7; ++i)
        f.addStep(QStringLiteral("手順"), "jpg", QSize(300, 300));
    PdfWriter writer(f, Settings());
    const QString path = writer.writeNew();
    ASSERT_FALSE(path.isEmpty()) << writer.error().toStdString();
    EXPECT_EQ(path, f.folder() + QStringLiteral("操作説明.pdf"));
    EXPECT_EQ(writer.pageCount(), 3);
    const QByteArray pdf = readBytes(path);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
#ifndef _WIN32 // Qt's PDF engine encodes every picture anew
    // The JPEG files themselves, not pictures encoded anew.
    EXPECT_EQ(pdf.count("/DCTDecode"), 7);
    EXPECT_TRUE(pdf.contains(readBytes(f.folder() + "2026120609050304.jpg")));
#endif
    EXPECT_EQ(f.progress.last(), QString());
}

TEST(Pdf, ExportRefusesAnEmptyListAndOpensTheDocument) {
    FakeShell shell;
    RecordingDialogs dialogs;
    DocumentFolder empty;
    EXPECT_TRUE(exportPdfDocument(empty, Settings(), dialogs, &shell).isEmpty());
    EXPECT_EQ(dialogs.shown, QStringList{QStringLiteral("PDF作成不可: データがありません！")});
    DocumentFolder f;
    f.addStep("a", "png");
    const QString path = exportPdfDocument(f, Settings(), dialogs, &shell);
    EXPECT_EQ(shell.opened, QStringList{path});
    // A folder that cannot be written: a message, nothing opened.
    class Gone : public DocumentFolder {
    public:
        QString captureFolder() const override { return "/nonexistent/klavoro/"; }
    } gone;
    gone.addStep("a", "png");
    EXPECT_TRUE(exportPdfDocument(gone, Settings(), dialogs, &shell).isEmpty());
    EXPECT_TRUE(dialogs.shown.last().contains(QStringLiteral("PDFファイルを保存できません！")));
    EXPECT_EQ(shell.opened.size(), 1);
}
