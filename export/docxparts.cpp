#include "export/docxparts.h"

#include "export/documentlayout.h"

#include <algorithm>
#include <cmath>

namespace klavoro {
namespace {

constexpr char kW[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kR[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr char kRelTypes[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr char kMain[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

constexpr int kEmuPerPoint = 12700;
// Room kept above a picture for its heading, so that both fit one page.
constexpr double kHeadingRoom = 48;

QByteArray num(qint64 n) {
    return QByteArray::number(n);
}

int twips(double points) {
    return static_cast<int>(std::lround(points * 20));
}

QByteArray halfPoints(double points) {
    return num(std::lround(points * 2));
}

QByteArray indentXml(int indentChars) {
    if (indentChars == 0) return {};
    return "<w:ind w:leftChars=\"" + num(indentChars * 100) + "\" w:left=\"" +
           num(twips(indentChars * page::kBodySize)) + "\"/>";
}

QByteArray spacing(double before, double after) {
    return "<w:spacing w:before=\"" + num(twips(before)) + "\" w:after=\"" + num(twips(after)) +
           "\"/>";
}

QByteArray runText(const QString& text) {
    return "<w:t xml:space=\"preserve\">" + xmlEscaped(text) + "</w:t>";
}

QByteArray field(const char* instruction) {
    return QByteArray("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
                      "xml:space=\"preserve\"> ") +
           instruction +
           " </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
           "<w:r><w:t>1</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

} // namespace

HeadingStyle headingStyleOf(int builtInId) {
    if (builtInId == -1) return {QStringLiteral("Normal"), 0};
    if (builtInId > -2 || builtInId < -10) builtInId = -3;
    const int level = -builtInId - 1;
    return {QStringLiteral("Heading") + QString::number(level), level};
}

QSize pictureExtentEmu(QSize pixels, int indentChars) {
    const QSizeF pt = pictureSizePt(pixels, std::max(0, indentChars) * page::kBodySize,
                                    page::kTextHeight - kHeadingRoom);
    return QSize(static_cast<int>(std::lround(pt.width() * kEmuPerPoint)),
                 static_cast<int>(std::lround(pt.height() * kEmuPerPoint)));
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
    auto part = [](const char* name, const char* type) {
        return QByteArray("<Override PartName=\"") + name + "\" ContentType=\"" + type + "\"/>";
    };
    auto wordPart = [&](const char* name, const char* type) {
        return part(name, (QByteArray(kMain) + type + "+xml").constData());
    };
    return QByteArray(kXmlHead) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Default Extension=\"png\" ContentType=\"image/png\"/>"
           "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>" +
           wordPart("/word/document.xml", "document.main") +
           wordPart("/word/styles.xml", "styles") + wordPart("/word/fontTable.xml", "fontTable") +
           wordPart("/word/footer1.xml", "footer") +
           part("/docProps/core.xml",
                "application/vnd.openxmlformats-package.core-properties+xml") +
           "</Types>";
}

QByteArray docxPackageRelationships() {
    return QByteArray(kXmlHead) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           kRelTypes +
           "officeDocument\" Target=\"word/document.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
           "</Relationships>";
}

QByteArray docxCoreProperties(const QString& title, const QDateTime& created) {
    const QByteArray when = created.toUTC().toString(Qt::ISODate).toLatin1();
    return QByteArray(kXmlHead) +
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:title>" +
           xmlEscaped(title) + "</dc:title><dc:language>ja-JP</dc:language>" +
           "<dcterms:created xsi:type=\"dcterms:W3CDTF\">" + when +
           "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + when +
           "</dcterms:modified></cp:coreProperties>";
}

QByteArray docxStyles() {
    const QByteArray font = xmlEscaped(documentFontName());
    QByteArray out = QByteArray(kXmlHead) + "<w:styles xmlns:w=\"" + kW + "\">";
    out += "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"" + font + "\" w:hAnsi=\"" +
           font + "\" w:eastAsia=\"" + font + "\" w:cs=\"" + font +
           "\"/><w:kern w:val=\"2\"/><w:sz w:val=\"" + halfPoints(page::kBodySize) +
           "\"/><w:szCs w:val=\"" + halfPoints(page::kBodySize) +
           "\"/><w:lang w:val=\"en-US\" w:eastAsia=\"ja-JP\" w:bidi=\"ar-SA\"/>"
           "</w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" "
           "w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>";
    out += "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
           "<w:name w:val=\"Normal\"/><w:qFormat/><w:pPr><w:widowControl w:val=\"0\"/>"
           "</w:pPr></w:style>";
    out += "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/>"
           "<w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:pPr>"
           "<w:keepNext/>" +
           spacing(0, 2) + "</w:pPr><w:rPr><w:b/><w:sz w:val=\"" + halfPoints(page::kTitleSize) +
           "\"/></w:rPr></w:style>";
    out += "<w:style w:type=\"paragraph\" w:styleId=\"Subtitle\"><w:name w:val=\"Subtitle\"/>"
           "<w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:pPr>"
           "<w:keepNext/>" +
           spacing(0, page::kTitleSpaceAfter) +
           "</w:pPr><w:rPr><w:color w:val=\"595959\"/><w:sz w:val=\"" +
           halfPoints(page::kDateSize) + "\"/></w:rPr></w:style>";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray id = "Heading" + num(level);
        out += "<w:style w:type=\"paragraph\" w:styleId=\"" + id + "\"><w:name w:val=\"heading " +
               num(level) +
               "\"/><w:basedOn w:val=\"Normal\"/><w:next w:val=\"Normal\"/>"
               "<w:uiPriority w:val=\"9\"/><w:qFormat/><w:pPr><w:keepNext/><w:keepLines/>" +
               spacing(page::kHeadingSpaceBefore, page::kHeadingSpaceAfter) +
               "<w:outlineLvl w:val=\"" + num(level - 1) + "\"/></w:pPr><w:rPr><w:b/>" +
               "<w:sz w:val=\"" + halfPoints(page::kHeadingSize) + "\"/></w:rPr></w:style>";
    }
    out += "<w:style w:type=\"paragraph\" w:styleId=\"Footer\"><w:name w:val=\"footer\"/>"
           "<w:basedOn w:val=\"Normal\"/><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr>"
           "<w:sz w:val=\"" +
           halfPoints(page::kFooterSize) + "\"/></w:rPr></w:style>";
    out += "</w:styles>";
    return out;
}

QByteArray docxFontTable() {
    QByteArray out = QByteArray(kXmlHead) + "<w:fonts xmlns:w=\"" + kW + "\">";
    // Charset 80 is Shift-JIS: a reader without the font takes a Japanese one,
    // and "swiss" a sans one.
    for (const QString& name : japaneseFontFamilies())
        out += "<w:font w:name=\"" + xmlEscaped(name) +
               "\"><w:charset w:val=\"80\"/><w:family w:val=\"swiss\"/>"
               "<w:pitch w:val=\"variable\"/></w:font>";
    out += "</w:fonts>";
    return out;
}

QByteArray docxFooter() {
    return QByteArray(kXmlHead) + "<w:ftr xmlns:w=\"" + kW + "\" xmlns:r=\"" + kR +
           "\"><w:p><w:pPr><w:pStyle w:val=\"Footer\"/></w:pPr>" + field("PAGE") +
           "<w:r><w:t xml:space=\"preserve\"> / </w:t></w:r>" + field("NUMPAGES") +
           "</w:p></w:ftr>";
}

DocxBody::DocxBody(HeadingStyle heading) : m_heading(std::move(heading)) {
    addRelationship("styles", QStringLiteral("styles.xml"));
    addRelationship("fontTable", QStringLiteral("fontTable.xml"));
    m_footer = addRelationship("footer", QStringLiteral("footer1.xml"));
}

QString DocxBody::addRelationship(const QByteArray& type, const QString& target) {
    const QString id = QStringLiteral("rId") + QString::number(m_nextRel++);
    m_rels += "<Relationship Id=\"" + id.toLatin1() + "\" Type=\"" + kRelTypes + type +
              "\" Target=\"" + xmlEscaped(target) + "\"/>";
    return id;
}

void DocxBody::addTitle(const QString& title, const QString& date) {
    m_body += "<w:p><w:pPr><w:pStyle w:val=\"Title\"/></w:pPr><w:r>" + runText(title) +
              "</w:r></w:p><w:p><w:pPr><w:pStyle w:val=\"Subtitle\"/></w:pPr><w:r>" +
              runText(date) + "</w:r></w:p>";
}

void DocxBody::addHeading(const QString& numberText, const QStringList& lines) {
    m_body += "<w:p><w:pPr><w:pStyle w:val=\"" + m_heading.id.toLatin1() + "\"/>";
    // The normal style keeps nothing together by itself.
    if (m_heading.level == 0)
        m_body += "<w:keepNext/><w:keepLines/>" +
                  spacing(page::kHeadingSpaceBefore, page::kHeadingSpaceAfter);
    m_body += "</w:pPr><w:r>";
    if (m_heading.level == 0) m_body += "<w:rPr><w:b/></w:rPr>";
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) m_body += "<w:br/>";
        m_body += runText(i == 0 ? numberText + lines[i] : lines[i]);
    }
    m_body += "</w:r></w:p>";
}

void DocxBody::addPicture(const QString& media, QSize extentEmu, const QString& altText,
                          int indentChars) {
    const QByteArray ind = indentXml(indentChars);
    m_body += "<w:p>";
    if (!ind.isEmpty()) m_body += "<w:pPr>" + ind + "</w:pPr>";
    const QString image = addRelationship("image", media);
    const QByteArray id = num(m_nextPicture++);
    const QByteArray cx = num(extentEmu.width()), cy = num(extentEmu.height());
    const QByteArray alt = xmlEscaped(altText);
    // The frame is drawn inside the extent, so the picture keeps its size.
    const QByteArray line = "<a:ln w=\"" + num(std::lround(page::kBorderWidth * kEmuPerPoint)) +
                            "\"><a:solidFill><a:srgbClr val=\"" +
                            QByteArray::number(page::kBorderRgb, 16).rightJustified(6, '0') +
                            "\"/></a:solidFill></a:ln>";
    m_body += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
              "<wp:extent cx=\"" +
              cx + "\" cy=\"" + cy +
              "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:docPr id=\"" + id +
              "\" name=\"図 " + id + "\" descr=\"" + alt +
              "\"/><wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/>"
              "</wp:cNvGraphicFramePr><a:graphic><a:graphicData "
              "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
              "<pic:nvPicPr><pic:cNvPr id=\"" +
              id + "\" name=\"図 " + id + "\" descr=\"" + alt +
              "\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" +
              image.toLatin1() +
              "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
              "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
              cx + "\" cy=\"" + cy + "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>" +
              "</a:prstGeom>" + line +
              "</pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    m_body += "</w:p>";
}

QByteArray DocxBody::document() const {
    return QByteArray(kXmlHead) + "<w:document xmlns:w=\"" + kW + "\" xmlns:r=\"" + kR +
           "\" xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
           " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
           " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
           m_body + "<w:sectPr><w:footerReference w:type=\"default\" r:id=\"" +
           m_footer.toLatin1() + "\"/><w:pgSz w:w=\"" + num(twips(page::kWidth)) + "\" w:h=\"" +
           num(twips(page::kHeight)) + "\"/><w:pgMar w:top=\"" + num(twips(page::kMargin)) +
           "\" w:right=\"" + num(twips(page::kMargin)) + "\" w:bottom=\"" +
           num(twips(page::kMargin)) + "\" w:left=\"" + num(twips(page::kMargin)) +
           "\" w:header=\"" + num(twips(page::kFooter)) + "\" w:footer=\"" +
           num(twips(page::kFooter)) + "\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
}

QByteArray DocxBody::relationships() const {
    return QByteArray(kXmlHead) +
           "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           m_rels + "</Relationships>";
}

} // namespace klavoro
