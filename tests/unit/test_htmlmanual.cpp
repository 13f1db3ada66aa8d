#include "capture/encoders.h"
#include "export/htmlmanual.h"
#include "export/htmlpage.h"
#include "export/htmltext.h"
#include "export/imagefileindex.h"
#include "store/capturefolder.h"
#include "store/imagename.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

class RecordingHost : public HtmlManualHost {
public:
    void showProgress(const QString& text, int displayMs) override {
        progress << text;
        lastDisplayMs = displayMs;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void letEventsRun() override { ++eventRuns; }
    bool cancelRequested() const override { return progress.size() >= cancelAfter; }
    void openPage(const QString& path) override { opened << path; }

    QStringList progress, statuses, opened;
    int lastDisplayMs = -1;
    int eventRuns = 0;
    qsizetype cancelAfter = 1 << 30;
};

// A capture folder and the parts folder beside it.
struct Manual {
    ScratchHome home;
    FakeDialogs dialogs;
    RecordingHost host;
    StepList steps;
    QString folder = home.path("data/");
    QString parts = home.path("parts/js");

    Manual() {
        QDir().mkpath(folder);
        QDir().mkpath(parts);
        writeBytes(parts + "/menu-data.txt", toShiftJis(QStringLiteral("<p>目次</p>\r\n")));
        writeBytes(parts + "/html-js.js", "var x = 1;\n");
    }
    void image(const QString& file, int w = 40, int h = 30) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        ASSERT_TRUE(writeByExtension(img, folder + file, 80));
    }
    void step(const QString& name, const QString& message, const QString& ext = "jpg") {
        steps.append(buildStepLine(steps.count() + 1, name, message, ext, ""));
    }
    HtmlResult write(bool thumbnails) {
        return writeHtmlManual(steps, conf(), {folder, parts}, thumbnails, dialogs, host);
    }
    QByteArray bytes() const { return readBytes(folder + "index.htm"); }
    QString page() const { return fromShiftJis(bytes()); }
};

} // namespace

TEST(HtmlText, EscapesSentencesAttributesAndUrls) {
    EXPECT_EQ(htmlEscape("A & B"), "A&nbsp;&amp;&nbsp;B");
    EXPECT_EQ(htmlEscape(QStringLiteral("<b>\"\\© ®")), "&lt;b&gt;&quot;&yen;&copy;&nbsp;&reg;");
    EXPECT_EQ(htmlEscape("&lt;"), "&amp;lt;"); // the ampersand goes first
    EXPECT_EQ(htmlEscapeMarkup("001. <&>"), "001. &lt;&amp;&gt;");
    EXPECT_EQ(htmlAttribute("a'b\"c<&"), "a&#39;b&quot;c&lt;&amp;");
    EXPECT_EQ(urlSegment("a b'c\"d#%?.png"), "a%20b%27c%22d%23%25%3F.png");
    EXPECT_EQ(urlSegment(QStringLiteral("画像.jpg")), "%E7%94%BB%E5%83%8F.jpg");
}

TEST(HtmlText, CharactersOutsideShiftJisBecomeReferences) {
    EXPECT_EQ(htmlShiftJis(QStringLiteral("a😀b")), QByteArray("a&#128512;b"));
    EXPECT_EQ(htmlShiftJis(QStringLiteral("é")), QByteArray("&#233;"));
    EXPECT_EQ(htmlShiftJis(QStringLiteral("操作?")), toShiftJis(QStringLiteral("操作?")));
    EXPECT_EQ(toShiftJis(QStringLiteral("a😀")),
              QByteArray("a?")); // the plain converter is unchanged
}

TEST(HtmlPage, StepBlocksAsTheLayoutSays) {
    EXPECT_EQ(sentenceHtml({"A & B"}), "<span class='headding'>A&nbsp;&amp;&nbsp;B</span>");
    EXPECT_EQ(sentenceHtml({QStringLiteral("一行目"), QStringLiteral("二行目")}),
              QStringLiteral("<span class='headding'>一行目<br>二行目</span>"));
    EXPECT_EQ(imageHtml("1234.png", "1234.png", true, "a 'b'"),
              QStringLiteral("<A class='fancybox' href='1234.png' target='_blank'><IMG "
                             "src='Thumb/Thumb_1234.jpg' alt='a &#39;b&#39;' "
                             "title='クリックで拡大します。'></A>"));
    EXPECT_EQ(imageHtml("1234", "1234.png", false, "x"), "<IMG src='1234.png' alt='x'>");
    EXPECT_EQ(imageHtml("", "", false, "x"), "");
    // Not found: an empty file name.
    EXPECT_EQ(imageHtml("gone", "", false, "x"), "<IMG src='' alt='x'>");
    EXPECT_EQ(stepBlockHtml("001 ", {"x"}, "<IMG src='a.jpg'>"),
              "  <div><span class='no'>001 </span><span class='headding'>x</span></div>\r\n"
              "  <IMG src='a.jpg'>  <br>\r\n\r\n");
}

TEST(HtmlPage, PageFrameClosesItsDivisionsAndCarriesTheBorder) {
    conf() = Settings();
    const QString page =
        pageHtml("A & <B>", "2026年", "<ul></ul>\r\n", "BODY", borderStyleHtml(conf()));
    EXPECT_TRUE(
        page.startsWith("<!DOCTYPE html><html lang='ja'><HEAD>\r\n<META "
                        "http-equiv='Content-Type' content='text/html; charset=Shift_JIS'>"));
    // Title and heading from the capture folder, the date under the heading.
    EXPECT_TRUE(page.contains("<TITLE>A &amp; &lt;B&gt;</TITLE>"));
    EXPECT_TRUE(page.contains("<div id='menu' role='banner'>\r\n<h1>A &amp; &lt;B&gt;</h1>\r\n<p "
                              "class='date'>2026年</p>\r\n<ul></ul>\r\n</div>\r\n\r\n\r\n<div "
                              "id='items' role='main'>\r\n\r\nBODY</div>\r\n\r\n"));
    EXPECT_TRUE(page.endsWith("<div style='height:300px;'></div>\r\n\r\n</BODY>\r\n</HTML>"));
    EXPECT_EQ(page.count("</html>", Qt::CaseInsensitive), 1);
    // The border style sits between the two style sheets, so custom-style.css can override it.
    const qsizetype border = page.indexOf("#items img{border:3px solid #008080;}");
    EXPECT_GT(border, page.indexOf("html-style.css"));
    EXPECT_LT(border, page.indexOf("custom-style.css"));

    Settings s;
    s.htmlBorderDouble = 1;
    s.htmlBorderWeight = 5;
    s.htmlBorderColor = 0x0000FF; // blue-green-red: red
    EXPECT_TRUE(borderStyleHtml(s).contains("border:5px double #ff0000;"));
    s.htmlBorder = 0;
    EXPECT_TRUE(borderStyleHtml(s).contains("border:none;"));
    s.htmlBorder = 1;
    s.htmlBorderWeight = 0;
    EXPECT_TRUE(borderStyleHtml(s).contains("border:none;"));
}

TEST(HtmlPage, LayeredBuildingKeepsEveryBlockInOrder) {
    LayeredText text;
    QString plain;
    for (int i = 1; i <= 2345; ++i) {
        const QString block = QString::number(i) + ',';
        text.append(block);
        plain += block;
        text.stepDone(i);
    }
    EXPECT_EQ(text.take(), plain);
    EXPECT_EQ(text.take(), QString());
}

TEST(HtmlManual, ProgressAtTheFirstStepAndEveryFiftyRemaining) {
    Manual m;
    for (int i = 0; i < 120; ++i)
        m.step("", "s");
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    const QStringList expected = {QStringLiteral("HTML作成中・・・119\r\n"),
                                  QStringLiteral("HTML作成中・・・100\r\n"),
                                  QStringLiteral("HTML作成中・・・50\r\n"),
                                  QStringLiteral("HTML作成中・・・0\r\n"),
                                  QString(),
                                  QStringLiteral("ファイル名：") + QDir::toNativeSeparators(m.folder + "index.htm")};
    EXPECT_EQ(m.host.progress, expected);
    EXPECT_EQ(m.host.lastDisplayMs, 2500);
    EXPECT_EQ(m.host.opened, QStringList{m.folder + "index.htm"});
}

TEST(HtmlManual, NumbersFollowTheFormatAndTextStepsLeaveGaps) {
    Manual m;
    m.image("20260101000000.jpg");
    writeBytes(m.folder + "20260101000001.txt", "memo");
    m.image("20260101000002.jpg");
    m.step("20260101000000", "first");
    m.step("20260101000001", "a text file");
    m.step("20260101000002", "third");
    m.step("", "no image");
    conf().noPeriod = 1;
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    QString page = m.page();
    EXPECT_TRUE(page.contains("<span class='no'>001. </span><span class='headding'>first</span>"));
    EXPECT_FALSE(page.contains("a&nbsp;text"));
    EXPECT_FALSE(page.contains("<span class='no'>002"));
    EXPECT_TRUE(page.contains("<span class='no'>003. </span><span class='headding'>third</span>"));
    EXPECT_TRUE(page.contains("<IMG src='20260101000002.jpg' alt='third'>  <br>"));
    EXPECT_TRUE(page.contains("<span class='no'>004. </span><span "
                              "class='headding'>no&nbsp;image</span></div>\r\n    <br>"));

    conf().noPeriod = 0;
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_TRUE(m.page().contains("<span class='no'>001 </span>"));
    conf().noFormat = 0;
    conf().noChar = QStringLiteral("■<");
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_EQ(m.page().count(QStringLiteral("<span class='no'>■&lt;</span>")), 3);
}

TEST(HtmlManual, ThumbnailStyleMakesTheThumbnailsAndLinksTheImage) {
    Manual m;
    m.image("1234.png", 320, 240);
    m.step("1234", "png step", "png");
    ASSERT_EQ(m.write(true), HtmlResult::Written);
    EXPECT_TRUE(QFile::exists(m.folder + "Thumb/Thumb_1234.jpg"));
    EXPECT_TRUE(m.page().contains(QStringLiteral(
        "  <A class='fancybox' href='1234.png' target='_blank'><IMG src='Thumb/Thumb_1234.jpg' "
        "alt='png step' title='クリックで拡大します。'></A>  <br>\r\n")));
    EXPECT_FALSE(m.host.statuses.isEmpty()); // the thumbnail run reported

    Manual empty;
    EXPECT_EQ(empty.write(true), HtmlResult::NoSteps);
    EXPECT_EQ(empty.dialogs.messages, QStringList{QStringLiteral("イメージがありません！")});
    EXPECT_FALSE(QFile::exists(empty.folder + "index.htm"));
}

TEST(HtmlManual, HostileNamesAndSentencesStayText) {
    Manual m;
    const QString name = QStringLiteral("x' onerror='alert(1)\" <b>&😀");
    const QString file = escapeName(name) + ".png";
    m.image(file);
    m.step(name, QStringLiteral("\"<script>alert('x')</script>\" & 😀 ©"), "png");
    ASSERT_EQ(m.write(true), HtmlResult::Written);
    const QByteArray bytes = m.bytes();
    EXPECT_FALSE(bytes.contains("<script>alert"));
    EXPECT_FALSE(bytes.contains("onerror='"));
    EXPECT_TRUE(bytes.contains("alt='&quot;&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&quot; "
                               "&amp; &#128512; &#169;'"));
    EXPECT_FALSE(bytes.contains('?')); // nothing lost to the code page
    EXPECT_TRUE(bytes.contains("&quot;&lt;script&gt;alert('x')&lt;/script&gt;&quot;&nbsp;&amp;"
                               "&nbsp;&#128512;&nbsp;&copy;"));
    // Each attribute ends where it should and names the real files.
    const QString page = m.page();
    const QRegularExpression href("fancybox' href='([^']*)'");
    const QRegularExpressionMatch h = href.match(page);
    ASSERT_TRUE(h.hasMatch());
    EXPECT_EQ(QUrl::fromPercentEncoding(h.captured(1).toLatin1()), file);
    const QRegularExpression thumb("src='Thumb/([^']*)'");
    const QRegularExpressionMatch t = thumb.match(page);
    ASSERT_TRUE(t.hasMatch());
    // The thumbnail is named like the saved image, and the page names the one made.
    const QString thumbName = QUrl::fromPercentEncoding(t.captured(1).toLatin1());
    EXPECT_EQ(thumbName, "Thumb_" + escapeName(name) + ".jpg");
    EXPECT_TRUE(QFileInfo::exists(m.folder + "Thumb/" + thumbName));
}

TEST(HtmlManual, FilesAndMenuFragment) {
    Manual m;
    m.step("", "s");
    writeBytes(m.folder + "index.htm", "old page");
    QDir().mkpath(m.folder + "js");
    writeBytes(m.folder + "js/html-js.js", "stale");
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_EQ(readBytes(m.folder + "js/html-js.js"), QByteArray("var x = 1;\n"));
    EXPECT_TRUE(QFile::exists(m.folder + "js/menu-data.txt"));
    const QByteArray bytes = m.bytes();
    EXPECT_TRUE(bytes.contains(
        toShiftJis(QStringLiteral("</p>\r\n<p>目次</p>\r\n</div>")))); // after the date
    EXPECT_TRUE(bytes.contains(toShiftJis(QStringLiteral("<TITLE>data</TITLE>"))));
    EXPECT_TRUE(bytes.contains(toShiftJis(QStringLiteral("<h1>data</h1>"))));
    EXPECT_FALSE(bytes.endsWith("\r\n"));

    // Without parts the page is still written, with an empty menu.
    QDir(m.parts).removeRecursively();
    ASSERT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_TRUE(m.bytes().contains("</p>\r\n</div>"));
}

TEST(HtmlManual, CancelWritesNothing) {
    Manual m;
    for (int i = 0; i < 120; ++i)
        m.step("", "s");
    m.host.cancelAfter = 2; // pressed while the second progress text shows
    EXPECT_EQ(m.write(false), HtmlResult::Cancelled);
    EXPECT_FALSE(QFile::exists(m.folder + "index.htm"));
    EXPECT_TRUE(m.host.opened.isEmpty());
    EXPECT_EQ(m.host.progress.size(), 3);
    EXPECT_EQ(m.host.progress.last(), QString());           // the progress window closed
    EXPECT_TRUE(QFile::exists(m.folder + "js/html-js.js")); // the copy was made before
}

TEST(HtmlManual, AFailedWriteOpensNothing) {
    Manual m;
    m.step("", "s");
    QDir().mkpath(m.folder + "index.htm"); // a folder stands where the page goes
    EXPECT_EQ(m.write(false), HtmlResult::WriteFailed);
    EXPECT_TRUE(m.host.opened.isEmpty());
}

TEST(HtmlManual, TheCopyNeverLeavesTheCaptureFolder) {
    Manual m;
    m.step("", "s");
    const QString outside = m.home.path("outside");
    QDir().mkpath(outside);
    writeBytes(outside + "/html-js.js", "precious");
    // A js folder that is a link elsewhere is not written through.
    ASSERT_TRUE(QFile::link(outside, m.folder + "js"));
    EXPECT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_EQ(readBytes(outside + "/html-js.js"), QByteArray("precious"));
    // A file link inside js is replaced, its target left alone.
    QFile::remove(m.folder + "js");
    QDir().mkpath(m.folder + "js");
    ASSERT_TRUE(QFile::link(outside + "/html-js.js", m.folder + "js/html-js.js"));
    EXPECT_EQ(m.write(false), HtmlResult::Written);
    EXPECT_EQ(readBytes(outside + "/html-js.js"), QByteArray("precious"));
    EXPECT_EQ(readBytes(m.folder + "js/html-js.js"), QByteArray("var x = 1;\n"));
}

TEST(ImageFileIndex, AnswersAsTheFolderLookupDoes) {
    ScratchHome home;
    const QString folder = home.path("data/");
    QDir().mkpath(folder + "sub.jpg");
    for (const char* f : {"a.png", "a.jpg", "b.webp", "b.zzz", "c", "d.txt", "e.tar.gz", ".h.png"})
        writeBytes(folder + f, "x");
    const ImageFileIndex index(folder);
    for (const char* n : {"a", "b", "c", "d", "e", "e.tar", ".h", "sub", "none", "", "../a", "a/"})
        EXPECT_EQ(index.find(n), fileNameOf(findImageFile(folder, n))) << n;
    EXPECT_EQ(index.find("a"), "a.jpg");
    EXPECT_EQ(index.find("b"), "b.webp");
}
