#include "capture/encoders.h"

#include "store/pathops.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace klavoro {
namespace {

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

bool writeWithQt(const QImage& image, const QString& path, const char* format, int quality,
                 QString* error) {
    if (image.isNull()) return fail(error, QStringLiteral("画像がありません"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    QImageWriter writer(&file, format);
    if (quality >= 0) writer.setQuality(quality);
    // Screenshots have no alpha worth keeping; JPEG and BMP want plain RGB.
    const QImage rgb =
        image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!writer.write(rgb)) {
        file.cancelWriting();
        return fail(error, writer.errorString());
    }
    if (!file.commit()) return fail(error, file.errorString());
    return true;
}

} // namespace

bool writeBmp(const QImage& image, const QString& path, QString* error) {
    return writeWithQt(image, path, "bmp", -1, error);
}

bool writeJpeg(const QImage& image, const QString& path, int quality, QString* error) {
    return writeWithQt(image, path, "jpg", qBound(0, quality, 100), error);
}

bool writePng(const QImage& image, const QString& path, QString* error) {
    return writeWithQt(image, path, "png", -1, error);
}

bool writeGif(const QImage& image, const QString& path, QString* error) {
    const QByteArray bytes = encodeGif(image, error);
    if (bytes.isEmpty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return fail(error, file.errorString());
    }
    if (!file.commit()) return fail(error, file.errorString());
    return true;
}

QByteArray encodeByExtension(const QImage& image, const QString& extension, int jpegQuality,
                             QString* error) {
    const QString ext = extension.toUpper();
    if (ext == QLatin1String("GIF")) return encodeGif(image, error);
    const char* format = ext == QLatin1String("BMP")   ? "bmp"
                         : ext == QLatin1String("PNG") ? "png"
                         : ext == QLatin1String("JPG") ? "jpg"
                                                       : nullptr;
    if (!format) {
        fail(error, QStringLiteral("未対応の拡張子: ") + ext);
        return {};
    }
    if (image.isNull()) {
        fail(error, QStringLiteral("画像がありません"));
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (ext == QLatin1String("JPG")) writer.setQuality(qBound(0, jpegQuality, 100));
    const QImage rgb =
        image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!writer.write(rgb)) {
        fail(error, writer.errorString());
        return {};
    }
    return bytes;
}

bool writeByExtension(const QImage& image, const QString& path, int jpegQuality, QString* error) {
    const QString ext = extensionOf(path).toUpper();
    if (ext == QLatin1String("BMP")) return writeBmp(image, path, error);
    if (ext == QLatin1String("PNG")) return writePng(image, path, error);
    if (ext == QLatin1String("GIF")) return writeGif(image, path, error);
    if (ext == QLatin1String("JPG")) return writeJpeg(image, path, jpegQuality, error);
    return fail(error, QStringLiteral("未対応の拡張子: ") + ext);
}

int formatIndexForExtension(const QString& extension) {
    const QString e = extension.toLower();
    if (e == QLatin1String("jpg")) return 1;
    if (e == QLatin1String("png")) return 2;
    if (e == QLatin1String("gif")) return 3;
    return 0;
}

QString imageLibraryVersions() {
    return QStringLiteral("giflib %1.%2.%3, libjpeg %4, libpng %5, Qt %6")
        .arg(GIFLIB_MAJOR)
        .arg(GIFLIB_MINOR)
        .arg(GIFLIB_RELEASE)
        .arg(JPEG_LIB_VERSION)
        .arg(QString::fromLatin1(png_get_libpng_ver(nullptr)))
        .arg(QString::fromLatin1(qVersion()));
}

} // namespace klavoro
