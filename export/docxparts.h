#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

namespace klavoro {

// The XML parts of a word-processing document (.docx) with numbered step
// headings: styles, numbering, relationships and the body.

// The heading style of a built-in identifier: -1 normal, -2 .. -10 heading
// 1 .. 9. Any other value gives heading 2, the default.
struct HeadingStyle {
    QString id;    // "Normal", "Heading1", ...
    int level = 0; // 0 for normal, else 1..9
};
HeadingStyle headingStyleOf(int builtInId);

// Pictures are shown at 96 dots per inch, at most as wide as the text column
// less the indent (as the word processor itself does when it inserts one).
QSize pictureExtentEmu(QSize pixels, int indentChars);

// Text for XML character data and attributes; characters XML cannot hold are
// dropped.
QByteArray xmlEscaped(const QString& text);

QByteArray docxContentTypes();
QByteArray docxPackageRelationships();
QByteArray docxStyles(const HeadingStyle& heading);
// The numbering definition "1.", "2.", ... linked to the heading style.
QByteArray docxNumbering(const HeadingStyle& heading);

// The document part and its relationships, built step by step.
class DocxBody {
public:
    explicit DocxBody(HeadingStyle heading);
    // A heading paragraph; the lines are joined by line breaks inside it.
    void addHeading(const QStringList& lines);
    // The indented picture paragraph and the empty paragraph after it.
    // `media` is the picture's name in the package ("media/image1.png");
    // an empty `media` gives the paragraphs without a picture.
    void addPicture(const QString& media, QSize extentEmu, const QString& name,
                    const QString& hyperlink, int indentChars);
    QByteArray document() const;
    QByteArray relationships() const;

private:
    QString addRelationship(const QByteArray& type, const QString& target, bool external);

    HeadingStyle m_heading;
    QByteArray m_body;
    QByteArray m_rels;
    int m_nextRel = 1;
    int m_nextPicture = 1;
};

} // namespace klavoro
