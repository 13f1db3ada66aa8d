#include "export/docxwriter.h"

#include "export/documentsteps.h"
#include "export/docxparts.h"
#include "store/settings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QUrl>
#include <QUuid>

#include <cstdio>
#include <deque>
#include <zip.h>

namespace klavoro {
namespace {

// One zip archive being written; libzip reads the buffers and files at close.
class ZipPackage {
public:
    explicit ZipPackage(const QString& path) {
        int code = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!m_zip) {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            m_error = QString::fromLocal8Bit(zip_error_strerror(&error));
            zip_error_fini(&error);
        }
    }
    ~ZipPackage() {
        if (m_zip) zip_discard(m_zip);
    }
    bool ok() const { return m_zip && m_error.isEmpty(); }
    QString error() const { return m_error; }

    void addBytes(const char* name, QByteArray bytes, bool compress) {
        if (!ok()) return;
        m_buffers.push_back(std::move(bytes));
        const QByteArray& data = m_buffers.back();
        zip_source_t* source =
            zip_source_buffer(m_zip, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        add(name, source, compress);
    }
    void addFile(const char* name, const QString& path) {
        if (!ok()) return;
        add(name, zip_source_file(m_zip, QFile::encodeName(path).constData(), 0, -1), false);
    }
    bool close() {
        if (!ok()) return false;
        if (zip_close(m_zip) != 0) {
            m_error = QString::fromLocal8Bit(zip_strerror(m_zip));
            return false;
        }
        m_zip = nullptr;
        m_buffers.clear();
        return true;
    }

private:
    void add(const char* name, zip_source_t* source, bool compress) {
        if (!source) {
            m_error = QString::fromLocal8Bit(zip_strerror(m_zip));
            return;
        }
        const zip_int64_t index = zip_file_add(m_zip, name, source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            m_error = QString::fromLocal8Bit(zip_strerror(m_zip));
            return;
        }
        // Pictures are compressed already; storing them keeps the export fast.
        zip_set_file_compression(m_zip, static_cast<zip_uint64_t>(index),
                                 compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, compress ? 6 : 0);
    }

    zip_t* m_zip = nullptr;
    QString m_error;
    std::deque<QByteArray> m_buffers;
};

QByteArray pngOf(const QString& path) {
    const QImage image(path);
    QByteArray bytes;
    if (image.isNull()) return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

DocxWriter::DocxWriter(ExportHost& host, const Settings& settings)
    : m_host(host), m_settings(settings) {}

bool DocxWriter::writeTo(const QString& path) {
    m_error.clear();
    const HeadingStyle heading = headingStyleOf(m_settings.wdocStyleHeading);
    const int indent = m_settings.wdocIndent;
    const bool links = m_settings.wdocSetHyperlink == 1;
    ZipPackage zip(path);
    DocxBody body(heading);
    zip.addBytes("[Content_Types].xml", docxContentTypes(), true);
    zip.addBytes("_rels/.rels", docxPackageRelationships(), true);

    const int count = m_host.stepCount();
    const int interval = progressInterval(count);
    const QString folder = m_host.captureFolder();
    for (int i = 1; i <= count && zip.ok(); ++i) {
        if (i % interval == 0)
            m_host.showProgress(
                QStringLiteral("MsWord文書 作成中 ...... %1/%2\r\n").arg(i).arg(count));
        const DocumentStep step = documentStep(m_host.stepLine(i), folder);
        // The leading blank keeps the text off the number, as the heading was typed.
        QStringList lines = step.lines;
        lines.first().prepend(QLatin1Char(' '));
        body.addHeading(lines);
        QString media;
        if (step.picture == DocumentStep::Picture::Png ||
            step.picture == DocumentStep::Picture::Jpeg) {
            media = QStringLiteral("media/image%1.%2")
                        .arg(i)
                        .arg(step.picture == DocumentStep::Picture::Png ? "png" : "jpeg");
            zip.addFile(("word/" + media).toUtf8().constData(), step.file);
        } else if (step.picture == DocumentStep::Picture::Other) {
            QByteArray png = pngOf(step.file);
            if (!png.isEmpty()) {
                media = QStringLiteral("media/image%1.png").arg(i);
                zip.addBytes(("word/" + media).toUtf8().constData(), std::move(png), false);
            }
        }
        const QString link =
            links && !media.isEmpty() ? QUrl::fromLocalFile(step.file).toString() : QString();
        body.addPicture(media, pictureExtentEmu(step.size, indent), QFileInfo(step.file).fileName(),
                        link, indent);
    }
    zip.addBytes("word/document.xml", body.document(), true);
    zip.addBytes("word/_rels/document.xml.rels", body.relationships(), true);
    zip.addBytes("word/styles.xml", docxStyles(heading), true);
    zip.addBytes("word/numbering.xml", docxNumbering(heading), true);
    const bool written = zip.close();
    if (!written) m_error = zip.error();
    m_host.showProgress(QString());
    return written;
}

QString DocxWriter::writeNew() {
    const QString folder = m_host.captureFolder();
    const QString temporary = folder + QStringLiteral(".klavoro-") +
                              QUuid::createUuid().toString(QUuid::Id128) +
                              QStringLiteral(".docx.tmp");
    if (!writeTo(temporary)) {
        QFile::remove(temporary);
        return {};
    }
    const QString path =
        moveToNewName(temporary, folder, QStringLiteral("操作説明"), QStringLiteral("docx"));
    if (path.isEmpty()) {
        QFile::remove(temporary);
        m_error = QStringLiteral("ファイル名を決められません：") + folder;
    }
    return path;
}

QString moveToNewName(const QString& temporary, const QString& folder, const QString& base,
                      const QString& extension) {
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? base : base + QStringLiteral("(%1)").arg(n);
        const QString path = folder + name + '.' + extension;
        // Taking the name first with an exclusive create makes the rename
        // below replace only our own empty file, even with another program
        // writing in the folder at the same time.
        QFile reserve(path);
        if (!reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path)) continue;
            return {};
        }
        reserve.close();
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(path).constData()) == 0)
            return path;
        QFile::remove(path);
        return {};
    }
    return {};
}

} // namespace klavoro
