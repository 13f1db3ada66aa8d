#pragma once

// The programs the tests read documents with: poppler's tools for PDF files,
// LibreOffice to turn .docx and .rtf into PDF, python-docx for .docx.

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace klavoro::test {

struct Result {
    int code = -1;
    QString out;
};

inline Result run(const QString& program, const QStringList& arguments, int timeoutMs = 120000) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, arguments);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

inline QString withoutBlanks(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

inline int pdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {pdf}).out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// pdftotext of one page (from 1), or of all pages with 0.
inline QString pdfText(const QString& pdf, int page = 0) {
    QStringList args;
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    return run("pdftotext", args << pdf << "-").out;
}

struct PdfImage {
    int page = 0, width = 0, height = 0;
    QString encoding; // "jpeg", "image", ...
};

// The pictures that pdfimages -list finds, with their page.
inline QList<PdfImage> pdfImages(const QString& pdf) {
    QList<PdfImage> images;
    const QStringList lines = run("pdfimages", {"-list", pdf}).out.split('\n', Qt::SkipEmptyParts);
    // Two header lines; then page num type width height color comp bpc enc ...
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList c = lines[i].simplified().split(' ');
        if (c.size() < 9 || c[2] != QLatin1String("image")) continue;
        images.append({c[0].toInt(), c[3].toInt(), c[4].toInt(), c[8]});
    }
    return images;
}

struct PdfFont {
    QString name, type;
    bool embedded = false;
};

inline QList<PdfFont> pdfFonts(const QString& pdf) {
    QList<PdfFont> fonts;
    const QStringList lines = run("pdffonts", {pdf}).out.split('\n', Qt::SkipEmptyParts);
    // name type [type] encoding emb sub uni object ID: read from the right.
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList c = lines[i].simplified().split(' ');
        if (c.size() < 7) continue;
        fonts.append({c[0], c[1], c[c.size() - 5] == QLatin1String("yes")});
    }
    return fonts;
}

// The share of a page that is not white, from a small grey rendering.
inline double inkOnPage(const QString& pdf, int page, const QString& scratch) {
    const QString base = scratch + QStringLiteral("/ink");
    run("pdftoppm", {"-r", "20", "-gray", "-f", QString::number(page), "-l", QString::number(page),
                     "-singlefile", pdf, base});
    const QImage image(base + ".pgm");
    if (image.isNull()) return -1;
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250) ++ink;
    return double(ink) / (qint64(image.width()) * image.height());
}

} // namespace klavoro::test
