#include "edit/manualredaction.h"

#include "capture/encoders.h"
#include "capture/imageload.h"
#include "edit/deletionfolder.h"
#include "export/thumbnails.h"
#include "redact/boxes.h"
#include "store/capturefolder.h"
#include "store/pathops.h"
#include "store/textfile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace klavoro {
namespace {

QRect scaledBox(const QRect& box, QSize from, QSize to) {
    if (from == to || from.isEmpty()) return box;
    const double sx = double(to.width()) / from.width(), sy = double(to.height()) / from.height();
    const int l = int(std::floor(box.left() * sx)), t = int(std::floor(box.top() * sy));
    const int r = int(std::ceil((box.left() + box.width()) * sx));
    const int b = int(std::ceil((box.top() + box.height()) * sy));
    return QRect(l, t, r - l, b - t);
}

// JPEG codes 16 x 16 pixel blocks: a box edge inside a block rings into the
// box on encoding. Grown to whole blocks, the box is stored as one colour.
QRect jpegAligned(const QRect& box, QSize size) {
    constexpr int k = 16;
    const int l = box.left() / k * k, t = box.top() / k * k;
    const int r = (box.left() + box.width() + k - 1) / k * k;
    const int b = (box.top() + box.height() + k - 1) / k * k;
    return QRect(l, t, r - l, b - t).intersected(QRect(QPoint(0, 0), size));
}

bool isJpeg(const QString& path) {
    const QString ext = extensionOf(path).toLower();
    return ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
}

bool isNoRectFolder(const QString& folder) {
    QString f = folder;
    while (f.endsWith(u'/'))
        f.chop(1);
    return fileNameOf(f).compare(QLatin1String("NO_RECT"), Qt::CaseInsensitive) == 0;
}

} // namespace

QRect pictureBoxOfView(const QRect& viewBox, QSize displayed, QSize actual) {
    if (displayed.isEmpty() || actual.isEmpty()) return {};
    return scaledBox(viewBox, displayed, actual).intersected(QRect(QPoint(0, 0), actual));
}

BurnResult burnRedactionBox(const QString& folder, const QString& imageName, const QRect& box,
                            const QColor& colour, int jpegQuality, const ThumbnailBox& thumbBox) {
    BurnResult result;
    if (box.isEmpty()) {
        result.error = QStringLiteral("塗りつぶす範囲がありません");
        return result;
    }
    struct Target {
        QString folder; // the thumbnails of this folder are made anew
        QString path;
        QByteArray bytes;
    };
    std::vector<Target> targets;
    QStringList folders{folder};
    if (isNoRectFolder(folder)) folders << parentFolder(folder.left(folder.size() - 1)) + u'/';

    QSize reference;
    for (const QString& f : folders) {
        const StepFiles files = stepFilesOf(f, imageName);
        for (const QString& path : {files.image, files.noRect}) {
            if (path.isEmpty()) continue;
            if (std::any_of(targets.begin(), targets.end(),
                            [&](const Target& t) { return t.path == path; }))
                continue;
            QImage image = loadImageFile(path);
            if (image.isNull()) {
                result.error = QStringLiteral("画像を読めません：") + path;
                return result;
            }
            if (reference.isEmpty()) reference = image.size();
            QRect target = scaledBox(box, reference, image.size());
            if (isJpeg(path)) target = jpegAligned(target, image.size());
            paintSolidBox(image, target, colour);
            QString why;
            const QByteArray bytes = encodeByExtension(image, extensionOf(path), jpegQuality, &why);
            if (bytes.isEmpty()) {
                result.error =
                    QStringLiteral("画像を書けません：") + path + QStringLiteral("：") + why;
                return result;
            }
            targets.push_back({f, path, bytes});
        }
    }
    if (targets.empty()) {
        result.error = QStringLiteral("画像ファイルがありません：") + imageName;
        return result;
    }
    for (const Target& t : targets) {
        QString why;
        if (!writeWholeFileBytes(t.path, t.bytes, &why)) {
            result.error =
                QStringLiteral("画像を書けません：") + t.path + QStringLiteral("：") + why;
            return result;
        }
        result.written << t.path;
    }
    QStringList thumbFolders = folders;
    for (const QString& f : folders)
        if (!isNoRectFolder(f)) thumbFolders << f + QStringLiteral("NO_RECT/");
    for (const QString& f : thumbFolders) {
        const QString thumb = thumbnailPath(f, imageName);
        if (!QFile::exists(thumb)) continue;
        if (makeThumbnail(f, imageName, true, thumbBox) == 1) {
            result.written << thumb;
        } else if (!QFile::remove(thumb)) {
            result.error = QStringLiteral("サムネイルを作り直せません：") + thumb;
            return result;
        }
    }
    return result;
}

} // namespace klavoro
