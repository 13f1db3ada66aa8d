#include "export/pdfwriter.h"

#include "capture/imageload.h"
#include "export/documentlayout.h"
#include "export/documentsteps.h"
#include "export/manualsteps.h"
#include "export/newfile.h"
#include "store/settings.h"

#include <QFile>
#include <QImage>
#include <QRectF>

#include <algorithm>
#include <cairo-pdf.h>
#include <cairo.h>
#include <cstdlib>
#include <memory>
#include <pango/pangocairo.h>
#include <vector>

namespace klavoro {
namespace {

constexpr double kGrey = 0x59 / 255.0;

cairo_status_t writeToFile(void* closure, const unsigned char* data, unsigned int length) {
    auto* file = static_cast<QFile*>(closure);
    const qint64 n = static_cast<qint64>(length);
    return file->write(reinterpret_cast<const char*>(data), n) == n ? CAIRO_STATUS_SUCCESS
                                                                    : CAIRO_STATUS_WRITE_ERROR;
}

struct LayoutFree {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutFree>;

// One step placed on its page.
struct Placed {
    ManualStep step;
    Layout heading;
    double headingHeight = 0;
    QSizeF picture; // points; empty without a picture
    int page = 0;
    double top = 0; // of the heading
};

// Pixels that are never drawn: a JPEG surface carries its file as mime data,
// which the PDF takes instead. One zero buffer, mapped lazily by calloc, is
// shared by all of them.
class SharedPixels {
public:
    ~SharedPixels() { std::free(m_data); }
    unsigned char* reserve(std::size_t bytes) {
        if (bytes <= m_size) return m_data;
        std::free(m_data);
        m_data = static_cast<unsigned char*>(std::calloc(bytes, 1));
        m_size = m_data ? bytes : 0;
        return m_data;
    }
    unsigned char* data() const { return m_data; }

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

int rgbStride(QSize size) {
    return cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, size.width());
}

bool isFileJpeg(const ManualStep& step) {
    return step.picture == ManualStep::Picture::Jpeg &&
           static_cast<qint64>(step.size.width()) * step.size.height() <= kMaxImagePixels;
}

// The picture as a cairo surface: a JPEG file as it is, anything else decoded.
cairo_surface_t* pictureSurface(const ManualStep& step, const SharedPixels& shared) {
    if (isFileJpeg(step) && shared.data()) {
        QFile file(step.filePath);
        if (file.open(QIODevice::ReadOnly)) {
            auto* bytes = new QByteArray(file.readAll());
            if (isPlainJpeg(*bytes)) {
                cairo_surface_t* surface = cairo_image_surface_create_for_data(
                    shared.data(), CAIRO_FORMAT_RGB24, step.size.width(), step.size.height(),
                    rgbStride(step.size));
                cairo_surface_set_mime_data(
                    surface, CAIRO_MIME_TYPE_JPEG,
                    reinterpret_cast<const unsigned char*>(bytes->constData()),
                    static_cast<unsigned long>(bytes->size()),
                    [](void* p) { delete static_cast<QByteArray*>(p); }, bytes);
                return surface;
            }
            delete bytes;
        }
    }
    auto* image = new QImage(loadImageFile(step.filePath));
    if (image->isNull()) {
        delete image;
        return nullptr;
    }
    const bool alpha = image->hasAlphaChannel();
    *image =
        image->convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        image->bits(), alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, image->width(),
        image->height(), static_cast<int>(image->bytesPerLine()));
    // The pixels live as long as cairo holds the surface.
    static cairo_user_data_key_t key;
    cairo_surface_set_user_data(surface, &key, image,
                                [](void* p) { delete static_cast<QImage*>(p); });
    return surface;
}

class PdfDocument {
public:
    PdfDocument(QFile& file, const QString& title) {
        m_surface =
            cairo_pdf_surface_create_for_stream(writeToFile, &file, page::kWidth, page::kHeight);
        cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_TITLE,
                                       title.toUtf8().constData());
        cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_CREATOR, "Klavoro");
        m_cr = cairo_create(m_surface);
        m_context = pango_cairo_create_context(m_cr);
        // One user unit is one point: sizes in points mean what they say.
        pango_cairo_context_set_resolution(m_context, 72);
        pango_context_set_language(m_context, pango_language_from_string("ja"));
        m_families = japaneseFontFamilies().join(QLatin1String(", ")).toUtf8() + ", sans-serif";
    }
    ~PdfDocument() {
        g_object_unref(m_context);
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }

    Layout layout(const QString& text, double size, bool bold, double width) const {
        Layout layout(pango_layout_new(m_context));
        PangoFontDescription* font = pango_font_description_from_string(m_families.constData());
        pango_font_description_set_size(font, static_cast<gint>(size * PANGO_SCALE));
        pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_layout_set_font_description(layout.get(), font);
        pango_font_description_free(font);
        pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        const QByteArray utf8 = text.toUtf8();
        pango_layout_set_text(layout.get(), utf8.constData(), static_cast<int>(utf8.size()));
        return layout;
    }
    static double height(const Layout& layout) {
        int w = 0, h = 0;
        pango_layout_get_size(layout.get(), &w, &h);
        return static_cast<double>(h) / PANGO_SCALE;
    }
    void show(const Layout& layout, double x, double y, double grey = 0) {
        cairo_set_source_rgb(m_cr, grey, grey, grey);
        cairo_move_to(m_cr, x, y);
        pango_cairo_update_layout(m_cr, layout.get());
        pango_cairo_show_layout(m_cr, layout.get());
    }
    void picture(cairo_surface_t* surface, const QRectF& at) {
        const double w = cairo_image_surface_get_width(surface);
        const double h = cairo_image_surface_get_height(surface);
        cairo_save(m_cr);
        cairo_translate(m_cr, at.x(), at.y());
        cairo_scale(m_cr, at.width() / w, at.height() / h);
        cairo_set_source_surface(m_cr, surface, 0, 0);
        cairo_paint(m_cr);
        cairo_restore(m_cr);
        const double r = ((page::kBorderRgb >> 16) & 0xFF) / 255.0;
        cairo_set_source_rgb(m_cr, r, r, r);
        cairo_set_line_width(m_cr, page::kBorderWidth);
        cairo_rectangle(m_cr, at.x(), at.y(), at.width(), at.height());
        cairo_stroke(m_cr);
    }
    void bookmark(const QString& text, int pageNumber, double y) {
        const QByteArray target = QStringLiteral("page=%1 pos=[%2 %3]")
                                      .arg(pageNumber)
                                      .arg(page::kMargin)
                                      .arg(y)
                                      .toUtf8();
        cairo_pdf_surface_add_outline(m_surface, CAIRO_PDF_OUTLINE_ROOT, text.toUtf8().constData(),
                                      target.constData(), cairo_pdf_outline_flags_t(0));
    }
    void endPage() { cairo_show_page(m_cr); }
    // Finishes the file; the empty text or what went wrong.
    QString finish() {
        cairo_surface_finish(m_surface);
        const cairo_status_t status = cairo_surface_status(m_surface);
        return status == CAIRO_STATUS_SUCCESS ? QString()
                                              : QString::fromUtf8(cairo_status_to_string(status));
    }

private:
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    PangoContext* m_context = nullptr;
    QByteArray m_families;
};

} // namespace

PdfWriter::PdfWriter(ExportHost& host, const Settings& settings)
    : DocumentWriter(host, settings, QStringLiteral("pdf")) {}

bool PdfWriter::writeTo(const QString& path) {
    m_error.clear();
    m_pages = 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = file.errorString();
        return false;
    }
    const ManualSteps steps = ManualSteps::of(m_host, m_settings);
    const QString title = manualTitle(steps.folder());
    const int count = steps.count();
    const int interval = progressInterval(count);
    const double indent = std::clamp(m_settings.wdocIndent, 0, 20) * page::kBodySize;
    const double top = page::kMargin, bottom = page::kHeight - page::kMargin;
    QString error;
    {
        // Declared first: cairo reads these pixels until the document is finished.
        SharedPixels shared;
        PdfDocument pdf(file, title);
        const Layout titleText = pdf.layout(title, page::kTitleSize, true, page::kTextWidth);
        const Layout dateText = pdf.layout(manualDate(), page::kDateSize, false, page::kTextWidth);

        // Where everything goes: a step starts a new page when its heading
        // and picture do not fit on what is left of this one.
        std::vector<Placed> placed(static_cast<std::size_t>(count));
        std::size_t sharedBytes = 0;
        int pageNumber = 1;
        double y = top + PdfDocument::height(titleText) + 2 + PdfDocument::height(dateText) +
                   page::kTitleSpaceAfter;
        for (int i = 1; i <= count; ++i) {
            Placed& p = placed[static_cast<std::size_t>(i - 1)];
            p.step = steps.withPicture(i);
            p.heading = pdf.layout(p.step.numberText + p.step.lines.join(QLatin1Char('\n')),
                                   page::kHeadingSize, true, page::kTextWidth);
            p.headingHeight = PdfDocument::height(p.heading);
            double height = p.headingHeight;
            if (p.step.hasPicture()) {
                const double room = page::kTextHeight - page::kHeadingSpaceBefore - height -
                                    page::kHeadingSpaceAfter;
                p.picture = pictureSizePt(p.step.size, indent, std::max(room, 36.0));
                height += page::kHeadingSpaceAfter + p.picture.height();
                if (isFileJpeg(p.step))
                    sharedBytes =
                        std::max(sharedBytes, static_cast<std::size_t>(rgbStride(p.step.size)) *
                                                  p.step.size.height());
            }
            if (y > top && y + page::kHeadingSpaceBefore + height > bottom) {
                ++pageNumber;
                y = top;
            }
            if (y > top) y += page::kHeadingSpaceBefore;
            p.page = pageNumber;
            p.top = y;
            y += height;
        }
        m_pages = pageNumber;

        shared.reserve(std::max<std::size_t>(sharedBytes, 4));
        auto footer = [&](int n) {
            const Layout number = pdf.layout(QStringLiteral("%1 / %2").arg(n).arg(m_pages),
                                             page::kFooterSize, false, page::kTextWidth);
            pango_layout_set_alignment(number.get(), PANGO_ALIGN_CENTER);
            pdf.show(number, page::kMargin,
                     page::kHeight - page::kFooter - PdfDocument::height(number), kGrey);
        };
        pdf.show(titleText, page::kMargin, top);
        pdf.show(dateText, page::kMargin, top + PdfDocument::height(titleText) + 2, kGrey);
        int current = 1;
        for (int i = 1; i <= count; ++i) {
            if (i % interval == 0)
                m_host.showProgress(QStringLiteral("PDF作成中 ...... %1/%2\r\n").arg(i).arg(count));
            Placed& p = placed[static_cast<std::size_t>(i - 1)];
            while (current < p.page) {
                footer(current++);
                pdf.endPage();
            }
            pdf.show(p.heading, page::kMargin, p.top);
            pdf.bookmark(p.step.numberText + p.step.altText(), p.page, p.top);
            if (!p.picture.isEmpty()) {
                if (cairo_surface_t* surface = pictureSurface(p.step, shared)) {
                    const QRectF at(page::kMargin + indent,
                                    p.top + p.headingHeight + page::kHeadingSpaceAfter,
                                    p.picture.width(), p.picture.height());
                    pdf.picture(surface, at);
                    cairo_surface_destroy(surface);
                }
            }
            p.heading.reset();
        }
        footer(current);
        pdf.endPage();
        error = pdf.finish();
    }
    if (error.isEmpty() && file.error() != QFileDevice::NoError) error = file.errorString();
    file.close();
    m_host.showProgress(QString());
    if (!error.isEmpty()) {
        m_error = error;
        return false;
    }
    return true;
}


} // namespace klavoro
