#include "capture/imageload.h"

#include "capture/imageprobe.h"
#include "store/dialogs.h"
#include "store/pathops.h"

#include <QFile>
#include <QImageReader>

namespace klavoro {

QImage loadImageFile(const QString& path, Dialogs* dialogs, QSize scaledTo) {
    QString why;
    QImage image;
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize declared = reader.size();
    const ImageSize probed = probeImageSize(path, 0);
    const qint64 w = declared.isValid() ? declared.width() : probed.width;
    const qint64 h = declared.isValid() ? declared.height() : probed.height;
    if (!QFile::exists(path)) {
        why = QStringLiteral("ファイルがありません");
    } else if (w <= 0 || h <= 0) {
        why = reader.errorString();
    } else if (w * h > kMaxImagePixels) {
        why = QStringLiteral("画像が大きすぎます (%1 x %2)").arg(w).arg(h);
    } else {
        if (scaledTo.isValid()) reader.setScaledSize(scaledTo);
        image = reader.read();
        if (image.isNull()) why = reader.errorString();
    }
    if (image.isNull() && dialogs && extensionOf(path).toLower() == QLatin1String("png"))
        dialogs->message(path + QStringLiteral("の読み込みに失敗しました！") +
                             QStringLiteral("\r\n") + why,
                         QStringLiteral("PNGファイル読込失敗"));
    return image;
}

} // namespace klavoro
