#include "documentfolder.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/settings.h"
#include "testutil.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextImageFormat>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// The hex data of the first picture group, as bytes.
QByteArray firstBlip(const QByteArray& rtf) {
    const qsizetype start = rtf.indexOf("{\\pict");
    if (start < 0) return {};
    const qsizetype dataStart = rtf.indexOf("\r\n", start) + 2;
    const qsizetype end = rtf.indexOf('}', dataStart);
    QByteArray hex = rtf.mid(dataStart, end - dataStart);
    hex.replace("\r\n", "");
    return QByteArray::fromHex(hex);
}

} // namespace

TEST(RtfWriter, TextEscapesAndJapanese) {
    EXPECT_EQ(rtfText("a{b}\\c"), QByteArray("a\\{b\\}\\\\c"));
    // Double-byte fallback: \uc2 and the Shift-JIS bytes of あ (82 A0).
    EXPECT_EQ(rtfText(QStringLiteral("あ")), QByteArray("\\uc2 \\u12354\\'82\\'a0"));
    // Half-width katakana falls back to one byte; the \uc changes with it.
    EXPECT_EQ(rtfText(QStringLiteral("ｱあ")), QByteArray("\\u-143\\'b1\\uc2 \\u12354\\'82\\'a0"));
    // Beyond 32767 the number is negative; a character the code page lacks
    // falls back to '?'.
    EXPECT_EQ(rtfText(QStringLiteral("한")), QByteArray("\\u-10916?"));
    // A character outside the BMP: one '?' for the pair.
    EXPECT_EQ(rtfText(QString::fromUcs4(U"\U0001F600")),
              QByteArray("\\uc0 \\u-10179\\uc1 \\u-8704?"));
    EXPECT_EQ(rtfText(QString("a\tb") + QChar(0x2028) + "c" + QChar(7)),
              QByteArray("a\\tab b\\line c"));
}

TEST(RtfWriter, FontsColoursAndParagraphs) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 10));
    QTextCursor c(&doc);
    c.insertText("plain");
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setFontUnderline(true);
    f.setFontStrikeOut(true);
    f.setFontPointSize(14);
    f.setForeground(QColor(255, 0, 0));
    f.setFontFamilies({QStringLiteral("ＭＳ ゴシック")});
    c.insertText("styled", f);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred);
    c.insertText(QStringLiteral("二段落目"), QTextCharFormat());

    const QByteArray rtf = rtfFromDocument(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932"));
    EXPECT_TRUE(rtf.endsWith("}\r\n"));
    // The second font's name in Shift-JIS bytes.
    // Each font with its kind and a Japanese font for readers without it.
    EXPECT_TRUE(rtf.contains("{\\f0\\fswiss\\fcharset128\\fprq2 DejaVu Sans{\\*\\falt Yu "
                             "Gothic};}"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\f1\\fswiss\\fcharset128\\fprq2 \\'82\\'6c\\'82\\'72 "
                             "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e{\\*\\falt Yu Gothic};}"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("{\\f0\\dbch\\af0\\fs20 plain}"));
    EXPECT_TRUE(rtf.contains("{\\f1\\dbch\\af1\\fs28\\b\\i\\ul\\strike\\cf1 styled}"));
    EXPECT_TRUE(rtf.contains("\\par\r\n\\pard\\plain\\qc"));
    EXPECT_EQ(rtf.count("\\par\r\n"), 1);
    // Braces balance, so a reader sees one group.
    EXPECT_EQ(rtf.count('{') - rtf.count("\\{"), rtf.count('}') - rtf.count("\\}"));
}

TEST(RtfWriter, FontFallbacksAndHeadingsKeptWithTheirPictures) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Yu Gothic", 10));
    QTextCursor c(&doc);
    QTextBlockFormat heading;
    heading.setProperty(kKeepWithNext, true);
    heading.setHeadingLevel(2);
    c.setBlockFormat(heading);
    c.insertText("001 heading");
    QTextCharFormat serif;
    serif.setFontFamilies({QStringLiteral("Noto Serif CJK JP")});
    c.insertBlock(QTextBlockFormat());
    c.insertText("body", serif);
    const QByteArray rtf = rtfFromDocument(doc);
    EXPECT_TRUE(rtf.contains("\\pard\\plain\\ql\\keepn\\outlinelevel1\\f0\\dbch\\af0"));
    EXPECT_EQ(rtf.count("\\keepn"), 1);
    EXPECT_TRUE(rtf.contains("Yu Gothic{\\*\\falt Noto Sans CJK JP};}"));
    EXPECT_TRUE(rtf.contains("{\\f1\\froman\\fcharset128\\fprq2 Noto Serif CJK JP{\\*\\falt Yu "
                             "Mincho};}"));
}

TEST(RtfWriter, StepPicturesGoInAsTheirFilesAtTheShownSize) {
    DocumentFolder f;
    f.addStep("png", "png", QSize(600, 300));
    f.addStep("jpeg", "jpg", QSize(200, 100));
    f.addStep("bitmap", "bmp", QSize(40, 30));
    Settings s;
    s.dispImgMaxWidth = 300;
    StepDocument doc;
    ASSERT_EQ(buildRichText(doc, f, s), 3);
    const QByteArray rtf = rtfFromDocument(doc);
    EXPECT_EQ(rtf.count("{\\pict"), 3);
    EXPECT_TRUE(rtf.contains("{\\pict\\pngblip\\picw600\\pich300\\picwgoal4500\\pichgoal2250\r\n"));
    EXPECT_TRUE(
        rtf.contains("{\\pict\\jpegblip\\picw200\\pich100\\picwgoal3000\\pichgoal1500\r\n"));
    EXPECT_TRUE(rtf.contains("{\\pict\\pngblip\\picw40\\pich30\\picwgoal600\\pichgoal450\r\n"));
    // The PNG file's own bytes, unchanged.
    EXPECT_EQ(firstBlip(rtf), readBytes(f.folder() + "2026120609050301.png"));
}

TEST(RtfWriter, PastedPicturesAreEncodedAsPng) {
    QTextDocument doc;
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    doc.addResource(QTextDocument::ImageResource, QUrl("pasted:1"), image);
    QTextCursor c(&doc);
    QTextImageFormat f;
    f.setName("pasted:1");
    c.insertImage(f);
    // A picture whose data is gone is left out, not written broken.
    f.setName("pasted:missing");
    c.insertImage(f);
    const QByteArray rtf = rtfFromDocument(doc);
    EXPECT_EQ(rtf.count("{\\pict"), 1);
    EXPECT_TRUE(rtf.contains("\\pngblip\\picw16\\pich8\\picwgoal240\\pichgoal120"));
    const QImage back = QImage::fromData(firstBlip(rtf), "PNG");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(3, 3), qRgb(0, 0, 255));
}

TEST(RtfWriter, WriteFailsClearlyAndKeepsTheOldFile) {
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setPlainText("x");
    int number = 0;
    QString text;
    EXPECT_FALSE(writeRtfFile(doc, dir.path() + "/no/such/folder/a.rtf", &number, &text));
    EXPECT_NE(number, 0);
    EXPECT_FALSE(text.isEmpty());
    const QString path = dir.path() + "/a.rtf";
    ASSERT_TRUE(writeRtfFile(doc, path, &number, &text));
    EXPECT_TRUE(readBytes(path).contains("{\\f0"));
}
