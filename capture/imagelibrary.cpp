#include "capture/imagelibrary.h"

#include "capture/encoders.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

namespace klavoro {
namespace {

QByteArray encodeWithQt(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? bytes : QByteArray();
}

bool decodes(const QByteArray& bytes, const char* format, QSize size) {
    if (bytes.isEmpty()) return false;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&buffer, format);
    const QImage back = reader.read();
    return !back.isNull() && back.size() == size;
}

} // namespace

QString ImageLibraryCheck::errorText() const {
    return QStringLiteral("画像形式 %1 を保存または表示できません（画像ライブラリ: %2）")
        .arg(missing.join(QStringLiteral(", ")), versions);
}

ImageLibraryCheck checkImageLibraries() {
    ImageLibraryCheck check;
    check.versions = imageLibraryVersions();
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(3, 3, qRgb(255, 0, 0));
    for (const char* format : {"bmp", "jpg", "png"})
        if (!decodes(encodeWithQt(image, format), format, image.size()))
            check.missing << QLatin1String(format);
    if (!decodes(encodeGif(image), "gif", image.size())) check.missing << QStringLiteral("gif");
    check.ok = check.missing.isEmpty();
    return check;
}

} // namespace klavoro
