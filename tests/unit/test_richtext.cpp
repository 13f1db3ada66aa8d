#include "documentfolder.h"
#include "export/documentlayout.h"
#include "export/manualsteps.h"
#include "export/richtextbuild.h"
#include "export/selectionformat.h"
#include "export/stepdocument.h"
#include "store/dialogs.h"
#include "store/settings.h"

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QChar kObject = QChar::ObjectReplacementCharacter;

QStringList blockTexts(const QTextDocument& document) {
    QStringList out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

QList<QTextImageFormat> images(const QTextDocument& document) {
    QList<QTextImageFormat> out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}

class AnsweringDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        shown << title + ": " + text;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
    bool askOkCancel(const QString& text, const QString& title) override {
        shown << title + ": " + text;
        return ok;
    }
    QStringList shown;
    bool ok = true;
};

} // namespace

TEST(RichTextBuild, ThreeStepsWithOneLineBreakReadInStepOrder) {
    DocumentFolder f;
    f.addStep(QStringLiteral("[OK](ボタン)を、クリックします。"), "png");
    f.addStep(QStringLiteral("メモを書きます。"), "txt");
    f.addStep(QStringLiteral("[閉じる](ボタン)を、クリックします。"), "jpg");
    Settings s;
    s.paragraph = 1;
    StepDocument doc;
    EXPECT_EQ(buildRichText(doc, f, s), 2);
    // The title and the date first, then the steps.
    const QStringList expected = {QDir(f.folder()).dirName(),
                                  manualDate(),
                                  "",
                                  QStringLiteral("001 [OK](ボタン)を、クリックします。"),
                                  "",
                                  QString(kObject),
                                  QStringLiteral("002 メモを書きます。"),
                                  "",
                                  "", // the text file: heading without a picture
                                  QStringLiteral("003 [閉じる](ボタン)を、クリックします。"),
                                  "",
                                  QString(kObject),
                                  ""};
    EXPECT_EQ(blockTexts(doc), expected);
    const auto pictures = images(doc);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_TRUE(doc.pictureFile(pictures[0].name()).endsWith("2026120609050301.png"));
    EXPECT_TRUE(doc.pictureFile(pictures[1].name()).endsWith("2026120609050303.jpg"));
    // The build is not an edit the user can undo.
    EXPECT_FALSE(doc.isUndoAvailable());
    // Headings and the line after them stay with the picture that follows.
    const QTextBlock heading = doc.findBlockByNumber(3);
    EXPECT_TRUE(heading.blockFormat().boolProperty(kKeepWithNext));
    EXPECT_EQ(heading.blockFormat().headingLevel(), 2);
    EXPECT_TRUE(heading.next().blockFormat().boolProperty(kKeepWithNext));
    EXPECT_FALSE(heading.next().next().blockFormat().boolProperty(kKeepWithNext));
    EXPECT_EQ(heading.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(doc.firstBlock().begin().fragment().charFormat().fontPointSize(), page::kTitleSize);
    // An installed Japanese font, not the application's.
    EXPECT_EQ(doc.defaultFont().family(), installedJapaneseFamily());
    EXPECT_EQ(doc.defaultFont().pointSizeF(), page::kBodySize);
    EXPECT_FALSE(installedJapaneseFamily().isEmpty());
}

TEST(RichTextBuild, StoredLineBreaksMissingFilesAndParagraphCount) {
    DocumentFolder f;
    f.addStep(QStringLiteral("一行目") + QChar(4) + QStringLiteral("二行目"), "");
    f.addStep(QStringLiteral("次"), "png");
    Settings s;
    s.paragraph = 0;
    s.noFormat = 1;
    s.noPeriod = 1;
    s.noWide = 1;
    StepDocument doc;
    EXPECT_EQ(buildRichText(doc, f, s), 1);
    // No line breaks after the picture place: the next heading follows in
    // the same paragraph.
    const QStringList expected = {QDir(f.folder()).dirName(),
                                  manualDate(),
                                  "",
                                  QStringLiteral("１．　一行目"),
                                  QStringLiteral("二行目"),
                                  "",
                                  QStringLiteral("２．　次"),
                                  "",
                                  QString(kObject)};
    EXPECT_EQ(blockTexts(doc), expected);
}

TEST(RichTextBuild, PicturesAreShownAtMostTheWidthLimit) {
    DocumentFolder f;
    f.addStep("wide", "png", QSize(900, 300));
    f.addStep("narrow", "png", QSize(120, 80));
    f.addStep("not a picture", "png");
    QFile::resize(f.folder() + "2026120609050303.png", 10);
    Settings s;
    s.dispImgMaxWidth = 300;
    StepDocument doc;
    EXPECT_EQ(buildRichText(doc, f, s), 2);
    const auto pictures = images(doc);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_EQ(QSizeF(pictures[0].width(), pictures[0].height()), QSizeF(300, 100));
    EXPECT_EQ(QSizeF(pictures[1].width(), pictures[1].height()), QSizeF(120, 80));
    // Drawn from the file at the shown size.
    const QImage drawn =
        doc.resource(QTextDocument::ImageResource, QUrl(pictures[0].name())).value<QImage>();
    EXPECT_EQ(drawn.size(), QSize(300, 100));
}

TEST(RichTextBuild, ProgressEveryIntervalThenClosed) {
    EXPECT_EQ(progressInterval(1), 1);
    EXPECT_EQ(progressInterval(99), 1);
    EXPECT_EQ(progressInterval(100), 10);
    EXPECT_EQ(progressInterval(999), 10);
    EXPECT_EQ(progressInterval(1000), 100);
    EXPECT_EQ(progressInterval(15000), 1000);
    DocumentFolder f;
    for (int i = 0; i < 120; ++i)
        f.addStep("s", "");
    StepDocument doc;
    buildRichText(doc, f, Settings());
    ASSERT_EQ(f.progress.size(), 13);
    EXPECT_EQ(f.progress.first(), QStringLiteral("作成中 ...... 10/120\r\n"));
    EXPECT_EQ(f.progress[11], QStringLiteral("作成中 ...... 120/120\r\n"));
    EXPECT_EQ(f.progress.last(), QString());
}

TEST(RichTextBuild, EmptyAndLargeListsAreCheckedFirst) {
    AnsweringDialogs d;
    EXPECT_FALSE(mayBuildRichText(0, d));
    EXPECT_EQ(d.shown, QStringList{QStringLiteral("リッチテキスト作成不可: データがありません！")});
    d.shown.clear();
    EXPECT_TRUE(mayBuildRichText(999, d));
    EXPECT_TRUE(d.shown.isEmpty());
    d.ok = false;
    EXPECT_FALSE(mayBuildRichText(1000, d));
    ASSERT_EQ(d.shown.size(), 1);
    EXPECT_EQ(d.shown[0],
              QStringLiteral("データ量多し: データが1000件以上あり、大変、時間が掛かることが"
                             "予想されます。\r\n\r\nやってみますか？"));
    d.ok = true;
    EXPECT_TRUE(mayBuildRichText(1000, d));
}

TEST(SelectionFormat, OnlyPropertiesWithOneValueAreReported) {
    QTextDocument doc;
    QFont base("Noto Sans CJK JP", 12);
    doc.setDefaultFont(base);
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(255, 0, 0));
    c.insertText("plain ");
    c.insertText("bold", bold);
    c.insertBlock();
    c.insertText("next", bold);

    QTextCursor all(&doc);
    all.select(QTextCursor::Document);
    SelectionFormat f = selectionFormat(all, base);
    EXPECT_FALSE(f.bold.has_value());
    EXPECT_FALSE(f.colour.has_value());
    ASSERT_TRUE(f.pointSize.has_value());
    EXPECT_EQ(*f.pointSize, 12);
    EXPECT_EQ(f.italic, std::optional<bool>(false));

    // From inside "bold" across the block end into "next".
    QTextCursor part(&doc);
    part.setPosition(7);
    part.setPosition(doc.characterCount() - 2, QTextCursor::KeepAnchor);
    f = selectionFormat(part, base);
    EXPECT_EQ(f.bold, std::optional<bool>(true));
    EXPECT_EQ(f.colour, std::optional<QColor>(QColor(255, 0, 0)));

    // No selection: the format typing would use.
    QTextCursor at(&doc);
    at.setPosition(3);
    f = selectionFormat(at, base);
    EXPECT_EQ(f.bold, std::optional<bool>(false));
    EXPECT_EQ(f.colour, std::optional<QColor>(QColor()));
}

TEST(SelectionFormat, FontSizeTextTakesDigitsAndPointsOnly) {
    EXPECT_TRUE(isFontSizeText("10.5"));
    EXPECT_TRUE(isFontSizeText(""));
    EXPECT_FALSE(isFontSizeText("1a"));
    EXPECT_FALSE(isFontSizeText("-3"));
    EXPECT_EQ(fontSizeOf("10.5"), 10.5);
    EXPECT_EQ(fontSizeOf("abc"), 0);
    EXPECT_EQ(fontSizeOf("1.2.3"), 0);
    EXPECT_EQ(fontSizeOf("0"), 0);
    EXPECT_EQ(fontSizeOf("99999"), 0);
}
