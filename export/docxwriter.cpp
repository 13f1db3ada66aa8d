#include "export/docxwriter.h"

#include "export/documentsteps.h"
#include "export/docxparts.h"
#include "export/manualsteps.h"
#include "export/newfile.h"
#include "store/settings.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <deque>
#include <zip.h>

namespace klavoro {
namespace {

// libzip takes file names as the file system's bytes, on Windows as UTF-8.
QByteArray zipPath(const QString& path) {
#ifdef _WIN32
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

// One zip archive being written; libzip reads the buffers and files at close.
class ZipPackage {
public:
    explicit ZipPackage(const QString& path) {
        int code = 0;
        m_zip = zip_open(zipPath(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
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
        add(name, zip_source_file(m_zip, zipPath(path).constData(), 0, -1), false);
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
    : DocumentWriter(host, settings, QStringLiteral("docx")) {}

bool DocxWriter::writeTo(const QString& path) {
    m_error.clear();
    const HeadingStyle heading = headingStyleOf(m_settings.wdocStyleHeading);
    const int indent = std::clamp(m_settings.wdocIndent, 0, 20);
    const ManualSteps steps = ManualSteps::of(m_host, m_settings);
    const QString title = manualTitle(steps.folder());
    ZipPackage zip(path);
    DocxBody body(heading);
    body.addTitle(title, manualDate());
    zip.addBytes("[Content_Types].xml", docxContentTypes(), true);
    zip.addBytes("_rels/.rels", docxPackageRelationships(), true);
    zip.addBytes("docProps/core.xml", docxCoreProperties(title, QDateTime::currentDateTime()),
                 true);

    const int count = steps.count();
    const int interval = progressInterval(count);
    for (int i = 1; i <= count && zip.ok(); ++i) {
        if (i % interval == 0)
            m_host.showProgress(
                QStringLiteral("MsWord文書 作成中 ...... %1/%2\r\n").arg(i).arg(count));
        const ManualStep step = steps.withPicture(i);
        body.addHeading(step.numberText, step.lines);
        QString media;
        if (step.picture == ManualStep::Picture::Png || step.picture == ManualStep::Picture::Jpeg) {
            media = QStringLiteral("media/image%1.%2")
                        .arg(i)
                        .arg(step.picture == ManualStep::Picture::Png ? "png" : "jpeg");
            zip.addFile(("word/" + media).toUtf8().constData(), step.filePath);
        } else if (step.picture == ManualStep::Picture::Other) {
            QByteArray png = pngOf(step.filePath);
            if (!png.isEmpty()) {
                media = QStringLiteral("media/image%1.png").arg(i);
                zip.addBytes(("word/" + media).toUtf8().constData(), std::move(png), false);
            }
        }
        if (!media.isEmpty())
            body.addPicture(media, pictureExtentEmu(step.size, indent), step.altText(), indent);
    }
    zip.addBytes("word/document.xml", body.document(), true);
    zip.addBytes("word/_rels/document.xml.rels", body.relationships(), true);
    zip.addBytes("word/styles.xml", docxStyles(), true);
    zip.addBytes("word/fontTable.xml", docxFontTable(), true);
    zip.addBytes("word/footer1.xml", docxFooter(), true);
    const bool written = zip.close();
    if (!written) m_error = zip.error();
    m_host.showProgress(QString());
    return written;
}


} // namespace klavoro
