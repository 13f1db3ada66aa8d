#include "export/pdfwriter.h"

#include "capture/imageload.h"
#include "export/documentlayout.h"
#include "export/documentsteps.h"
#include "export/manualsteps.h"
#include "export/newfile.h"
#include "store/settings.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>

#include <algorithm>
#include <vector>

// Qt's PDF engine, as Windows has neither cairo nor pango: the same page and
// placement as elsewhere, text in an embedded font subset, no bookmarks, and
// pictures compressed by Qt rather than taken from their JPEG files.
namespace klavoro {
namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere;

QFont documentFont(double size, bool bold) {
    QFont font;
    font.setFamilies(japaneseFontFamilies());
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

struct Placed {
    ManualStep step;
    QString heading;
    double headingHeight = 0;
    QSizeF picture;
    int page = 0;
    double top = 0;
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
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Klavoro"));
        // One unit is one point.
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer)) {
            m_error = QStringLiteral("PDF を開始できません");
            return false;
        }
        const QFont titleFont = documentFont(page::kTitleSize, true);
        const QFont dateFont = documentFont(page::kDateSize, false);
        const QFont headingFont = documentFont(page::kHeadingSize, true);
        const QFont footerFont = documentFont(page::kFooterSize, false);
        auto height = [&](const QFont& font, const QString& text) {
            return QFontMetricsF(font, &writer)
                .boundingRect(QRectF(0, 0, page::kTextWidth, 1e7), kTextFlags, text)
                .height();
        };
        const double titleHeight = height(titleFont, title);
        const QString date = manualDate();
        const double dateHeight = height(dateFont, date);

        std::vector<Placed> placed(static_cast<std::size_t>(count));
        int pageNumber = 1;
        double y = top + titleHeight + 2 + dateHeight + page::kTitleSpaceAfter;
        for (int i = 1; i <= count; ++i) {
            Placed& p = placed[static_cast<std::size_t>(i - 1)];
            p.step = steps.withPicture(i);
            p.heading = p.step.numberText + p.step.lines.join(QLatin1Char('\n'));
            p.headingHeight = height(headingFont, p.heading);
            double h = p.headingHeight;
            if (p.step.hasPicture()) {
                const double room = page::kTextHeight - page::kHeadingSpaceBefore - h -
                                    page::kHeadingSpaceAfter;
                p.picture = pictureSizePt(p.step.size, indent, std::max(room, 36.0));
                h += page::kHeadingSpaceAfter + p.picture.height();
            }
            if (y > top && y + page::kHeadingSpaceBefore + h > bottom) {
                ++pageNumber;
                y = top;
            }
            if (y > top) y += page::kHeadingSpaceBefore;
            p.page = pageNumber;
            p.top = y;
            y += h;
        }
        m_pages = pageNumber;

        const QColor grey(0x59, 0x59, 0x59);
        auto text = [&](const QFont& font, const QString& s, double at, const QColor& colour,
                        int align = Qt::AlignLeft) {
            painter.setFont(font);
            painter.setPen(colour);
            painter.drawText(QRectF(page::kMargin, at, page::kTextWidth, height(font, s)),
                             kTextFlags | align, s);
        };
        auto footer = [&](int n) {
            const QString number = QStringLiteral("%1 / %2").arg(n).arg(m_pages);
            text(footerFont, number,
                 page::kHeight - page::kFooter - height(footerFont, number), grey,
                 Qt::AlignHCenter);
        };
        text(titleFont, title, top, Qt::black);
        text(dateFont, date, top + titleHeight + 2, grey);
        int current = 1;
        for (int i = 1; i <= count; ++i) {
            if (i % interval == 0)
                m_host.showProgress(QStringLiteral("PDF作成中 ...... %1/%2\r\n").arg(i).arg(count));
            const Placed& p = placed[static_cast<std::size_t>(i - 1)];
            while (current < p.page) {
                footer(current++);
                writer.newPage();
            }
            text(headingFont, p.heading, p.top, Qt::black);
            if (!p.picture.isEmpty()) {
                const QImage image = loadImageFile(p.step.filePath);
                if (!image.isNull()) {
                    const QRectF at(page::kMargin + indent,
                                    p.top + p.headingHeight + page::kHeadingSpaceAfter,
                                    p.picture.width(), p.picture.height());
                    painter.drawImage(at, image);
                    painter.setPen(QPen(QColor::fromRgb(page::kBorderRgb), page::kBorderWidth));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRect(at);
                }
            }
        }
        footer(current);
        painter.end();
    }
    QString error;
    if (file.error() != QFileDevice::NoError) error = file.errorString();
    file.close();
    m_host.showProgress(QString());
    if (!error.isEmpty()) {
        m_error = error;
        return false;
    }
    return true;
}

} // namespace klavoro
