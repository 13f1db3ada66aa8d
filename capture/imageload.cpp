#include "capture/imageload.h"

#include "capture/imagecomplete.h"
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
    QSize declared = reader.size();
    if (!declared.isValid()) { // the decoder could not tell: ask the header
        const ImageSize probed = probeImageSize(path, 0);
        declared = QSize(probed.width, probed.height);
    }
    const qint64 w = declared.width(), h = declared.height();
    if (!QFile::exists(path)) {
        why = QStringLiteral("ファイルがありません");
    } else if (w <= 0 || h <= 0) {
        why = reader.errorString();
    } else if (w * h > kMaxImagePixels) {
        why = QStringLiteral("画像が大きすぎます (%1 x %2)").arg(w).arg(h);
    } else if (!isCompleteImageFile(path)) {
        why = QStringLiteral("画像ファイルが途中で切れています");
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
