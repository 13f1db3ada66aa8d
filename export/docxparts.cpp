#include "export/docxparts.h"

#include <algorithm>
#include <cmath>

namespace klavoro {
namespace {

constexpr char kW[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kR[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr char kRelTypes[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// A4 with the margins of a Japanese word processor's blank document, in twips.
constexpr int kPageWidth = 11906, kPageHeight = 16838, kMarginSide = 1701, kMarginTop = 1985;
// One character of the 10.5 point body text.
constexpr int kCharTwips = 210;
constexpr int kEmuPerPixel = 9525, kTwipsPerPixel = 15;

QByteArray num(qint64 n) {
    return QByteArray::number(n);
}

QByteArray indentXml(int indentChars) {
    if (indentChars == 0) return {};
    return "<w:ind w:leftChars=\"" + num(indentChars * 100) + "\" w:left=\"" +
           num(indentChars * kCharTwips) + "\"/>";
}

QByteArray numPr() {
    return "<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>";
}

} // namespace

HeadingStyle headingStyleOf(int builtInId) {
    if (builtInId == -1) return {QStringLiteral("Normal"), 0};
    if (builtInId > -2 || builtInId < -10) builtInId = -3;
    const int level = -builtInId - 1;
    return {QStringLiteral("Heading") + QString::number(level), level};
}

QSize pictureExtentEmu(QSize pixels, int indentChars) {
    const int column = kPageWidth - 2 * kMarginSide - std::max(0, indentChars) * kCharTwips;
    const int maxPixels = std::max(1, column / kTwipsPerPixel);
    double w = pixels.width(), h = pixels.height();
    if (w > maxPixels) {
        h = h * maxPixels / w;
        w = maxPixels;
    }
    return QSize(static_cast<int>(std::lround(w * kEmuPerPixel)),
                 static_cast<int>(std::lround(std::max(1.0, h) * kEmuPerPixel)));
}

QByteArray xmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '&')
            out += QLatin1String("&amp;");
        else if (u == '<')
            out += QLatin1String("&lt;");
        else if (u == '>')
            out += QLatin1String("&gt;");
        else if (u == '"')
            out += QLatin1String("&quot;");
        else if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        else
            out += c;
    }
    return out.toUtf8();
}

QByteArray docxContentTypes() {
    return QByteArray(kXmlHead) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Default Extension=\"png\" ContentType=\"image/png\"/>"
           "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>"
           "<Override PartName=\"/word/document.xml\" "
           "ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "<Override PartName=\"/word/styles.xml\" "
           "ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
           "<Override PartName=\"/word/numbering.xml\" "
           "ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml\"/>"
           "</Types>";
}

QByteArray docxPackageRelationships() {
    return QByteArray(kXmlHead) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           kRelTypes +
           "officeDocument\" "
           "Target=\"word/document.xml\"/></Relationships>";
}

QByteArray docxStyles(const HeadingStyle& heading) {
    QByteArray out = QByteArray(kXmlHead) + "<w:styles xmlns:w=\"" + kW + "\">";
    out += "<w:docDefaults><w:rPrDefault><w:rPr><w:kern w:val=\"2\"/><w:sz w:val=\"21\"/>"
           "<w:szCs w:val=\"22\"/><w:lang w:val=\"en-US\" w:eastAsia=\"ja-JP\" w:bidi=\"ar-SA\"/>"
           "</w:rPr></w:rPrDefault><w:pPrDefault/></w:docDefaults>";
    out += "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
           "<w:name w:val=\"Normal\"/><w:qFormat/><w:pPr><w:widowControl w:val=\"0\"/>"
           "</w:pPr></w:style>";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray id = "Heading" + num(level);
        out += "<w:style w:type=\"paragraph\" w:styleId=\"" + id + "\"><w:name w:val=\"heading " +
               num(level) +
               "\"/><w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/>"
               "<w:uiPriority w:val=\"9\"/><w:qFormat/><w:pPr><w:keepNext/>";
        // The link to the numbering: every paragraph of this style is numbered.
        if (level == heading.level) out += numPr();
        out += "<w:outlineLvl w:val=\"" + num(level - 1) + "\"/></w:pPr><w:rPr><w:b/>" +
               "<w:sz w:val=\"" + num(std::max(21, 32 - 2 * (level - 1))) +
               "\"/></w:rPr></w:style>";
    }
    out += "<w:style w:type=\"character\" w:styleId=\"Hyperlink\"><w:name w:val=\"Hyperlink\"/>"
           "<w:rPr><w:color w:val=\"0563C1\"/><w:u w:val=\"single\"/></w:rPr></w:style>";
    out += "</w:styles>";
    return out;
}

QByteArray docxNumbering(const HeadingStyle& heading) {
    QByteArray out = QByteArray(kXmlHead) + "<w:numbering xmlns:w=\"" + kW + "\">";
    out += "<w:abstractNum w:abstractNumId=\"0\"><w:multiLevelType w:val=\"singleLevel\"/>"
           "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>";
    if (heading.level > 0) out += "<w:pStyle w:val=\"" + heading.id.toLatin1() + "\"/>";
    out += "<w:lvlText w:val=\"%1.\"/><w:lvlJc w:val=\"left\"/>"
           "<w:pPr><w:ind w:left=\"420\" w:hanging=\"420\"/></w:pPr></w:lvl></w:abstractNum>"
           "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>";
    return out;
}

DocxBody::DocxBody(HeadingStyle heading) : m_heading(std::move(heading)) {
    addRelationship("styles", QStringLiteral("styles.xml"), false);
    addRelationship("numbering", QStringLiteral("numbering.xml"), false);
}

QString DocxBody::addRelationship(const QByteArray& type, const QString& target, bool external) {
    const QString id = QStringLiteral("rId") + QString::number(m_nextRel++);
    m_rels += "<Relationship Id=\"" + id.toLatin1() + "\" Type=\"" + kRelTypes + type +
              "\" Target=\"" + xmlEscaped(target) + "\"" +
              (external ? " TargetMode=\"External\"" : "") + "/>";
    return id;
}

void DocxBody::addHeading(const QStringList& lines) {
    m_body += "<w:p><w:pPr><w:pStyle w:val=\"" + m_heading.id.toLatin1() + "\"/>";
    // The normal style is not linked (every paragraph would be numbered): the
    // heading paragraphs carry the numbering themselves.
    if (m_heading.level == 0) m_body += numPr();
    m_body += "</w:pPr><w:r>";
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) m_body += "<w:br/>";
        m_body += "<w:t xml:space=\"preserve\">" + xmlEscaped(lines[i]) + "</w:t>";
    }
    m_body += "</w:r></w:p>";
}

void DocxBody::addPicture(const QString& media, QSize extentEmu, const QString& name,
                          const QString& hyperlink, int indentChars) {
    const QByteArray ind = indentXml(indentChars);
    m_body += "<w:p>";
    if (!ind.isEmpty()) m_body += "<w:pPr>" + ind + "</w:pPr>";
    if (!media.isEmpty()) {
        const QString image = addRelationship("image", media, false);
        const QString link =
            hyperlink.isEmpty() ? QString() : addRelationship("hyperlink", hyperlink, true);
        const QByteArray id = num(m_nextPicture++);
        const QByteArray cx = num(extentEmu.width()), cy = num(extentEmu.height());
        const QByteArray title = xmlEscaped(name);
        m_body += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
                  "<wp:extent cx=\"" +
                  cx + "\" cy=\"" + cy +
                  "\"/>"
                  "<wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
                  "<wp:docPr id=\"" +
                  id + "\" name=\"図 " + id + "\" descr=\"" + title + "\">";
        // A picture's hyperlink is the drawing's own click link.
        if (!link.isEmpty()) m_body += "<a:hlinkClick r:id=\"" + link.toLatin1() + "\"/>";
        m_body += "</wp:docPr><wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/>"
                  "</wp:cNvGraphicFramePr><a:graphic><a:graphicData "
                  "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
                  "<pic:nvPicPr><pic:cNvPr id=\"" +
                  id + "\" name=\"" + title +
                  "\"/>"
                  "<pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" +
                  image.toLatin1() +
                  "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
                  "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
                  cx + "\" cy=\"" + cy +
                  "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
                  "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    }
    m_body += "</w:p><w:p/>";
}

QByteArray DocxBody::document() const {
    return QByteArray(kXmlHead) + "<w:document xmlns:w=\"" + kW + "\" xmlns:r=\"" + kR +
           "\" xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
           " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
           " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
           m_body + "<w:p/><w:sectPr><w:pgSz w:w=\"" + num(kPageWidth) + "\" w:h=\"" +
           num(kPageHeight) + "\"/><w:pgMar w:top=\"" + num(kMarginTop) + "\" w:right=\"" +
           num(kMarginSide) + "\" w:bottom=\"" + num(kMarginSide) + "\" w:left=\"" +
           num(kMarginSide) +
           "\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
}

QByteArray DocxBody::relationships() const {
    return QByteArray(kXmlHead) +
           "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           m_rels + "</Relationships>";
}

} // namespace klavoro
