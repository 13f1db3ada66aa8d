#include "export/rtfwriter.h"

#include "capture/imageprobe.h"
#include "export/documentlayout.h"
#include "export/stepdocument.h"
#include "store/sjis.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace klavoro {
namespace {

constexpr int kTwipsPerPixel = 15; // at 96 dots per inch

void appendHexByte(QByteArray& out, unsigned char b) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 15];
}

// Text with \uc tracking inside the current group, which starts at \uc1.
void appendText(QByteArray& out, const QString& text) {
    int uc = 1;
    auto setUc = [&](int n) {
        if (n == uc) return;
        out += "\\uc" + QByteArray::number(n) + ' ';
        uc = n;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u >= 0x20 && u < 0x7F) {
            out += static_cast<char>(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == 0x2028) { // a line break inside the paragraph
            out += "\\line ";
        } else if (u == 0xA0) {
            out += "\\~";
        } else if (u < 0x20 || u == QChar::ObjectReplacementCharacter) {
            // Control characters have no place in the text.
        } else if (QChar::isHighSurrogate(u)) {
            // The pair's fallback is one '?' after its second half.
            setUc(0);
            out += "\\u" + QByteArray::number(static_cast<qint16>(u));
        } else {
            QByteArray fallback = "?";
            if (!QChar::isLowSurrogate(u)) {
                const QByteArray sjis = toShiftJis(QString(QChar(u)));
                if (sjis != "?") fallback = sjis;
            }
            setUc(static_cast<int>(fallback.size()));
            out += "\\u" + QByteArray::number(static_cast<qint16>(u));
            if (fallback == "?")
                out += '?';
            else
                for (const char b : fallback)
                    appendHexByte(out, static_cast<unsigned char>(b));
        }
    }
}

// Font names are written in the code page of their table entry where they can be.
QByteArray fontNameText(const QString& name) {
    if (fromShiftJis(toShiftJis(name)) != name) return rtfText(name);
    QByteArray out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u > 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}' && u != ';')
            out += static_cast<char>(u);
        else if (u == 0x20)
            out += ' ';
        else
            for (const char b : toShiftJis(QString(c)))
                appendHexByte(out, static_cast<unsigned char>(b));
    }
    return out;
}

bool isSerif(const QString& family) {
    return family.contains(QLatin1String("Serif"), Qt::CaseInsensitive) ||
           family.contains(QLatin1String("Mincho"), Qt::CaseInsensitive) ||
           family.contains(QStringLiteral("明朝"));
}

// Kind, Japanese character set, name and the Japanese font a reader without
// it takes (Word and LibreOffice read \falt), so that text never falls back
// to a font without Japanese.
QByteArray fontEntry(const QString& family) {
    const bool serif = isSerif(family);
    QString fallback = serif ? QStringLiteral("Yu Mincho") : documentFontName();
    if (fallback.compare(family, Qt::CaseInsensitive) == 0)
        fallback = serif ? QStringLiteral("Noto Serif CJK JP") : QStringLiteral("Noto Sans CJK JP");
    return QByteArray(serif ? "\\froman" : "\\fswiss") + "\\fcharset128\\fprq2 " +
           fontNameText(family) + "{\\*\\falt " + fontNameText(fallback) + '}';
}

struct Picture {
    QByteArray data;
    bool jpeg = false;
    QSize pixels;
};

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A step picture goes in as its file, unchanged; anything else (a pasted
// picture, a BMP or GIF file) is encoded as PNG.
Picture pictureOf(const QTextDocument& document, const QString& name) {
    Picture picture;
    const auto* steps = qobject_cast<const StepDocument*>(&document);
    const QString file = steps ? steps->pictureFile(name) : QString();
    if (!file.isEmpty()) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            const ImageSize size = probeImageData(bytes);
            if ((size.type == ImageSize::Png || size.type == ImageSize::Jpeg) && size.width > 0 &&
                size.height > 0) {
                picture.data = bytes;
                picture.jpeg = size.type == ImageSize::Jpeg;
                picture.pixels = QSize(size.width, size.height);
                return picture;
            }
            const QImage image = QImage::fromData(bytes);
            if (!image.isNull()) {
                picture.data = pngBytes(image);
                picture.pixels = image.size();
                return picture;
            }
        }
    }
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.canConvert<QImage>()) image = resource.value<QImage>();
    if (image.isNull() && resource.canConvert<QPixmap>())
        image = resource.value<QPixmap>().toImage();
    if (image.isNull() && resource.userType() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (!image.isNull()) {
        picture.data = pngBytes(image);
        picture.pixels = image.size();
    }
    return picture;
}

void appendPicture(QByteArray& out, const QTextDocument& document, const QTextImageFormat& format) {
    const Picture picture = pictureOf(document, format.name());
    if (picture.data.isEmpty()) return;
    // The shown size; a picture without one is shown at its own size.
    double w = format.width(), h = format.height();
    if (w <= 0 && h <= 0) {
        w = picture.pixels.width();
        h = picture.pixels.height();
    } else if (w <= 0) {
        w = h * picture.pixels.width() / picture.pixels.height();
    } else if (h <= 0) {
        h = w * picture.pixels.height() / picture.pixels.width();
    }
    out += "{\\pict";
    out += picture.jpeg ? "\\jpegblip" : "\\pngblip";
    out += "\\picw" + QByteArray::number(picture.pixels.width());
    out += "\\pich" + QByteArray::number(picture.pixels.height());
    out += "\\picwgoal" + QByteArray::number(std::lround(w * kTwipsPerPixel));
    out += "\\pichgoal" + QByteArray::number(std::lround(h * kTwipsPerPixel));
    out += "\r\n";
    // 64 bytes (128 hex digits) a line; written in place, as this is most of the file.
    static const char digits[] = "0123456789abcdef";
    const qsizetype n = picture.data.size();
    const qsizetype start = out.size();
    out.resize(start + n * 2 + (n / 64 + 1) * 2);
    char* o = out.data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(picture.data.constData());
    for (qsizetype i = 0; i < n; ++i) {
        *o++ = digits[in[i] >> 4];
        *o++ = digits[in[i] & 15];
        if (i % 64 == 63 || i == n - 1) {
            *o++ = '\r';
            *o++ = '\n';
        }
    }
    out.truncate(o - out.constData());
    out += '}';
}

class Tables {
public:
    explicit Tables(const QTextDocument& document) : m_default(document.defaultFont()) {
        font(m_default.family());
    }
    int font(const QString& family) {
        const qsizetype i = m_fonts.indexOf(family);
        if (i >= 0) return static_cast<int>(i);
        m_fonts << family;
        return static_cast<int>(m_fonts.size() - 1);
    }
    // 0 is the reader's automatic colour.
    int colour(const QColor& c) {
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        const qsizetype i = m_colours.indexOf(rgb);
        if (i >= 0) return static_cast<int>(i + 1);
        m_colours << rgb;
        return static_cast<int>(m_colours.size());
    }
    QFont resolved(const QTextCharFormat& format) const { return format.font().resolve(m_default); }
    QByteArray text() const {
        QByteArray out = "{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + fontEntry(m_fonts[i]) + ";}";
        out += "}\r\n{\\colortbl;";
        for (const QRgb c : m_colours)
            out += "\\red" + QByteArray::number(qRed(c)) + "\\green" +
                   QByteArray::number(qGreen(c)) + "\\blue" + QByteArray::number(qBlue(c)) + ';';
        out += "}\r\n";
        return out;
    }

private:
    QFont m_default;
    QStringList m_fonts;
    QList<QRgb> m_colours;
};

QByteArray sizeWord(const QFont& font) {
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 10.5;
    return "\\fs" + QByteArray::number(std::lround(points * 2));
}

QByteArray runWords(Tables& tables, const QTextCharFormat& format) {
    const QFont font = tables.resolved(format);
    // The font for double-byte text too: without it a reader sets Japanese
    // text in its own default font for Asian text (a serif one in LibreOffice).
    const QByteArray number = QByteArray::number(tables.font(font.family()));
    QByteArray out = "\\f" + number + "\\dbch\\af" + number + sizeWord(font);
    if (font.bold()) out += "\\b";
    if (font.italic()) out += "\\i";
    if (font.underline()) out += "\\ul";
    if (font.strikeOut()) out += "\\strike";
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        out += "\\cf" + QByteArray::number(tables.colour(format.foreground().color()));
    return out;
}

QByteArray alignmentWord(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) return "\\qc";
    if (alignment & Qt::AlignRight) return "\\qr";
    if (alignment & Qt::AlignJustify) return "\\qj";
    return "\\ql";
}

} // namespace

QByteArray rtfText(const QString& text) {
    QByteArray out;
    appendText(out, text);
    return out;
}

QByteArray rtfFromDocument(const QTextDocument& document) {
    Tables tables(document);
    QByteArray body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        body += "\\pard\\plain" + alignmentWord(format.alignment());
        if (format.boolProperty(kKeepWithNext)) body += "\\keepn";
        if (format.headingLevel() > 0)
            body += "\\outlinelevel" + QByteArray::number(format.headingLevel() - 1);
        // The block's own format gives an empty line its height.
        body += runWords(tables, block.charFormat()) + ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            const QString text = fragment.text();
            if (format.isImageFormat()) {
                for (const QChar c : text)
                    if (c == QChar::ObjectReplacementCharacter)
                        appendPicture(body, document, format.toImageFormat());
                continue;
            }
            body += '{' + runWords(tables, format) + ' ';
            appendText(body, text);
            body += "}";
        }
        if (block.next().isValid()) body += "\\par\r\n";
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1041\r\n";
    out += tables.text();
    // A4 with the margins and page numbers of the Word document.
    const QByteArray margin = QByteArray::number(std::lround(page::kMargin * 20));
    out += "\\paperw" + QByteArray::number(std::lround(page::kWidth * 20)) + "\\paperh" +
           QByteArray::number(std::lround(page::kHeight * 20)) + "\\margl" + margin + "\\margr" +
           margin + "\\margt" + margin + "\\margb" + margin + "\r\n";
    out += "\\viewkind4\\uc1\r\n";
    out += "{\\footer\\pard\\plain\\qc\\fs18 {\\field{\\*\\fldinst PAGE }{\\fldrslt 1}} / "
           "{\\field{\\*\\fldinst NUMPAGES }{\\fldrslt 1}}\\par}\r\n";
    out += body;
    out += "\r\n}\r\n";
    return out;
}

bool writeRtfFile(const QTextDocument& document, const QString& path, int* errorNumber,
                  QString* errorText) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(rtfFromDocument(document));
        if (file.commit()) return true;
    }
    if (errorNumber) *errorNumber = static_cast<int>(file.error());
    if (errorText) *errorText = file.errorString();
    return false;
}

} // namespace klavoro
