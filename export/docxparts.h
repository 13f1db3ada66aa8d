#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>

namespace klavoro {

// The XML parts of a word-processing document (.docx): a title, then per
// step a heading kept with its picture; page numbers in the footer.

// The heading style of a built-in identifier: -1 normal, -2 .. -10 heading
// 1 .. 9. Any other value gives heading 2, the default.
struct HeadingStyle {
    QString id;    // "Normal", "Heading1", ...
    int level = 0; // 0 for normal, else 1..9
};
HeadingStyle headingStyleOf(int builtInId);

// The picture's extent in EMU: natural size (96 dots per inch), at most the
// text column less the indent wide and one page of text high.
QSize pictureExtentEmu(QSize pixels, int indentChars);

// Text for XML character data and attributes; characters XML cannot hold are
// dropped.
QByteArray xmlEscaped(const QString& text);

QByteArray docxContentTypes();
QByteArray docxPackageRelationships();
// The title and time of creation for the file's properties.
QByteArray docxCoreProperties(const QString& title, const QDateTime& created);
// Normal, title, date, heading 1 to 9 (kept with the next paragraph), footer.
QByteArray docxStyles();
// The fonts the styles name, with their kind, so that a reader without them
// takes a Japanese sans font.
QByteArray docxFontTable();
// "page / pages", centred.
QByteArray docxFooter();

// The document part and its relationships, built step by step.
class DocxBody {
public:
    explicit DocxBody(HeadingStyle heading);
    // The title and the date under it.
    void addTitle(const QString& title, const QString& date);
    // A heading paragraph kept with the next one: the number text, then the
    // lines joined by line breaks.
    void addHeading(const QString& numberText, const QStringList& lines);
    // The indented picture paragraph, the picture inline and framed, with
    // `altText` as its description. `media` is the picture's name in the
    // package ("media/image1.png").
    void addPicture(const QString& media, QSize extentEmu, const QString& altText, int indentChars);
    QByteArray document() const;
    QByteArray relationships() const;

private:
    QString addRelationship(const QByteArray& type, const QString& target);

    HeadingStyle m_heading;
    QByteArray m_body;
    QByteArray m_rels;
    QString m_footer;
    int m_nextRel = 1;
    int m_nextPicture = 1;
};

} // namespace klavoro
