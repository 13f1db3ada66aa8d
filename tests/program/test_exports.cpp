// The exports from the file menu and the list's menu: the HTML manual, the
// rich text, the Word document, the step texts on the clipboard and a
// picture saved under another name.
#include "store/sjis.h"
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kFile = QStringLiteral("ファイル");

// The manual names every step's picture and is what the shell was asked to open.
void expectManual(ProgramSession& s, int openedBefore) {
    const QString page = s.folder() + QStringLiteral("index.htm");
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(page); }, 10000)) << "no index.htm";
    const QString html = fromShiftJis(readBytes(page));
    for (int i = 1; i <= 30; ++i)
        EXPECT_TRUE(html.contains(stepName(i))) << "step " << i << " not in the manual";
    EXPECT_TRUE(QFile::exists(s.folder() + QStringLiteral("js")));
    ASSERT_TRUE(waitUntil([&] { return s.opened().size() > openedBefore; }, 5000));
    EXPECT_EQ(s.opened().last(), page);
}

} // namespace

TEST(Exports, TheHtmlManualFromBothMenus) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString dialog = QStringLiteral("HTMLファイルの作成");
    int opened = s.opened().size();
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("HTMLファイル作成")));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("作成開始"), dialog));
    expectManual(s, opened);
    EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(dialog); }, 5000));

    QFile::remove(s.folder() + QStringLiteral("index.htm"));
    opened = s.opened().size();
    ASSERT_TRUE(s.select(3));
    ASSERT_TRUE(s.listMenu(QStringLiteral("HTMLファイル作成")));
    ASSERT_TRUE(s.ui().click(QStringLiteral("push button"), QStringLiteral("作成開始"), dialog));
    expectManual(s, opened);
    EXPECT_EQ(s.ran(), QStringList({"mnuMakeHtml", "mnuListMakeHtml"}));
    EXPECT_TRUE(s.close());
}

TEST(Exports, TheRichTextWindowSavesAnRtfFile) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString window = QStringLiteral("リッチテキスト");
    const QString saved = s.home() + QStringLiteral("/manual.rtf");
    for (const bool fromList : {false, true}) {
        SCOPED_TRACE(fromList ? "list menu" : "file menu");
        if (fromList) {
            ASSERT_TRUE(s.select(3));
            ASSERT_TRUE(s.listMenu(QStringLiteral("リッチテキスト作成")));
        } else {
            ASSERT_TRUE(s.menu(kFile, QStringLiteral("リッチテキスト作成")));
        }
        ASSERT_TRUE(s.hasWindow(window, 10000));
        // The main window waits while the document is open.
        EXPECT_TRUE(waitUntil([&] { return !s.button(QStringLiteral("記録")).enabled; }));
        ASSERT_TRUE(s.ui().menu(kFile, QStringLiteral("上書き保存"), window));
        ASSERT_TRUE(s.fileDialog(QString(), saved));
        ASSERT_TRUE(s.answer(window, Answer::Ok));
        const QByteArray rtf = readBytes(saved);
        EXPECT_TRUE(rtf.startsWith("{\\rtf")) << rtf.left(20).toStdString();
        EXPECT_TRUE(rtf.contains("Button 01") && rtf.contains("Button 30"));
        QFile::remove(saved);
        s.run().requestClose(s.run().waitForWindow(window).id);
        EXPECT_TRUE(waitUntil([&] { return !s.hasWindow(window); }, 5000));
        EXPECT_TRUE(waitUntil([&] { return s.button(QStringLiteral("記録")).enabled; }))
            << "the main window stays disabled";
    }
    EXPECT_EQ(s.ran(), QStringList({"mnuMakeRichText", "mnuListMakeRichText"}));
    EXPECT_TRUE(s.close());
}

TEST(Exports, TheDocumentsAreWrittenAndOpened) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const int before = s.opened().size();
    QStringList documents;
    for (const auto& [caption, extension] :
         {std::pair{"MSワード文書作成", "docx"}, std::pair{"PDFファイル作成", "pdf"},
          std::pair{"Markdownファイル作成", "md"}}) {
        ASSERT_TRUE(s.menu(kFile, QString::fromUtf8(caption)));
        ASSERT_TRUE(s.select(3));
        ASSERT_TRUE(s.listMenu(QString::fromUtf8(caption)));
        // A second document never replaces the first.
        documents << s.folder() + QStringLiteral("操作説明.") + extension
                  << s.folder() + QStringLiteral("操作説明(2).") + extension;
        ASSERT_TRUE(waitUntil([&] { return s.opened().size() == before + documents.size(); },
                              15000))
            << caption;
    }
    EXPECT_EQ(s.opened().mid(before), documents);
    for (const QString& path : documents.mid(0, 2)) {
        const QByteArray docx = readBytes(path);
        EXPECT_TRUE(docx.startsWith("PK\x03\x04")) << path.toStdString();
        EXPECT_TRUE(docx.contains("word/document.xml")) << path.toStdString();
    }
    for (const QString& path : documents.mid(2, 2)) {
        EXPECT_TRUE(readBytes(path).startsWith("%PDF")) << path.toStdString();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000));
        const QString shown = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(shown.contains(QStringLiteral("Button 01")) &&
                    shown.contains(QStringLiteral("Button 30")))
            << path.toStdString();
    }
    for (const QString& path : documents.mid(4, 2)) {
        const QString markdown = QString::fromUtf8(readBytes(path));
        EXPECT_TRUE(markdown.contains(QStringLiteral("Button 01")) &&
                    markdown.contains(stepName(30)))
            << path.toStdString();
    }
    EXPECT_EQ(s.ran(), QStringList({"mnuMakeWordDoc", "mnuListMakeWordDoc", "mnuMakePdf",
                                    "mnuListMakePdf", "mnuMakeMarkdown", "mnuListMakeMarkdown"}));
    EXPECT_TRUE(s.close());
}

TEST(Exports, StepTextsGoToTheClipboard) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(s.select(7));
    ASSERT_TRUE(s.listMenu(QStringLiteral("コピー（テキスト）")));
    ASSERT_TRUE(s.answer(QStringLiteral("クリップボードにコピー"), Answer::Ok));
    // The line as the list shows it: its position first.
    QString text;
    EXPECT_TRUE(waitUntil([&] { return (text = clipboard->text()).contains(stepSentence(7)); }));
    EXPECT_TRUE(text.startsWith(QStringLiteral("7\t") + stepName(7))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("\r\n")));

    ASSERT_TRUE(s.listMenu(QStringLiteral("全てコピー（テキスト）")));
    ASSERT_TRUE(s.answer(QStringLiteral("クリップボードにコピー"), Answer::Ok));
    EXPECT_TRUE(waitUntil([&] { return clipboard->text().count(QStringLiteral("\r\n")) == 30; }));
    const QStringList lines = clipboard->text().split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.value(29).startsWith(QStringLiteral("30\t") + stepName(30)));
    EXPECT_EQ(s.ran(), QStringList({"mnuListCopy", "mnuListAllCopy"}));
    EXPECT_TRUE(s.close());
}

TEST(Exports, ThePictureIsSavedUnderAnotherName) {
    ProgramSession s;
    ASSERT_TRUE(s.ready());
    const QString png = s.home() + QStringLiteral("/copy of step 9.png");
    const QString bmp = s.home() + QStringLiteral("/step12.bmp");
    ASSERT_TRUE(s.select(9));
    ASSERT_TRUE(s.menu(kFile, QStringLiteral("個別保存（画像）")));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("名前を付けて保存"), png));
    ASSERT_TRUE(s.select(12));
    ASSERT_TRUE(s.pictureMenu(QStringLiteral("個別保存（画像）")));
    ASSERT_TRUE(s.fileDialog(QStringLiteral("名前を付けて保存"), bmp));
    for (const auto& [path, step] : {std::pair{png, 9}, std::pair{bmp, 12}}) {
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(path); }, 5000)) << path.toStdString();
        const QImage image(path);
        EXPECT_EQ(image.size(), QSize(240, 180));
        EXPECT_TRUE(similarColour(image.pixelColor(120, 90), stepColour(step))) << step;
    }
    EXPECT_TRUE(readBytes(png).startsWith("\x89PNG"));
    EXPECT_TRUE(readBytes(bmp).startsWith("BM"));
    EXPECT_EQ(s.ran(), QStringList({"mnuSaveNameAs", "mnuSaveNameAs"}));
    EXPECT_TRUE(s.close());
}
