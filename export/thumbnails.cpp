#include "export/thumbnails.h"

#include "capture/encoders.h"
#include "capture/imageload.h"
#include "capture/imageprobe.h"
#include "store/blanks.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/oplist.h"
#include "store/pathops.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QThreadPool>

#include <atomic>

#include <cmath>

namespace klavoro {
namespace {
int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// The writer's own fit against the picture it loaded, then the display scaling.
QSize finalSize(QSize wanted, QSize source, double textMag) {
    double w = wanted.width(), h = wanted.height();
    const double sw = source.width(), sh = source.height();
    if (h / sh > w / sw)
        h = roundEven(sh * w / sw);
    else
        w = roundEven(sw * h / sh);
    return {roundEven(w * textMag), roundEven(h * textMag)};
}
} // namespace

QSize fitThumbnail(const ThumbnailBox& box, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) return {};
    const float boxRatio = float(box.height) / float(box.width);
    const float imageRatio = float(imageHeight) / float(imageWidth);
    if (boxRatio >= imageRatio)
        return {box.width, roundEven(float(box.width) / float(imageWidth) * float(imageHeight))};
    return {roundEven(float(imageWidth) * float(box.height) / float(imageHeight)), box.height};
}

bool resizeIntoJpeg(const QString& source, const QString& destination, int width, int height,
                    int quality) {
    quality = qBound(25, quality, 100);
    if (!QFileInfo::exists(source) || width <= 0 || height <= 0) return false;
    // Decoding at about twice the target size keeps the smooth scaling sharp
    // while JPEG skips most of the work.
    const QImage image = loadImageFile(source, nullptr, QSize(width * 2, height * 2));
    if (image.isNull()) return false;
    const QImage scaled =
        image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return writeJpeg(scaled, destination, quality);
}

int makeThumbnail(const QString& folder, const QString& imageName, bool overwrite,
                  const ThumbnailBox& box) {
    const QString name = trimBlanks(imageName).toString();
    const QString image = findImageFile(folder, name);
    const QString thumb = thumbnailPath(folder, name);
    if (image.isEmpty() || thumb.isEmpty()) return 0;
    const ImageSize size = probeImageSize(image, 0);
    const QSize fitted = fitThumbnail(box, size.width, size.height);
    if (size.type == ImageSize::Unknown || fitted.isEmpty()) return 0;
    if (QFileInfo::exists(thumb) && !overwrite) return 1;
    if (!createFolderTree(parentFolder(thumb))) return 0;
    const QSize made = finalSize(fitted, QSize(size.width, size.height), box.textMag);
    return resizeIntoJpeg(image, thumb, made.width(), made.height(), 100) ? 1 : 0;
}

int makeMissingThumbnails(const StepList& steps, const QString& folder, const ThumbnailBox& box,
                          Dialogs& dialogs, ThumbnailProgress& progress) {
    LongOperation making;
    const int count = steps.count();
    if (count == 0) {
        dialogs.message(QStringLiteral("イメージがありません！"), QStringLiteral("処理不可"));
        return -1;
    }
    progress.showProgress(QStringLiteral("サムネイル作成中\r\n"));
    letEventsRun();
    createFolderTree(folder + QStringLiteral("Thumb"));
    // Decoding full-size captures is the cost: spread it over the cores while
    // this thread keeps the status line and the window alive.
    // Thumbnails that exist are known from one listing: a repeated export of
    // a long list then probes no image at all.
    const QStringList made = QDir(folder + QStringLiteral("Thumb")).entryList(QDir::Files);
    const QSet<QString> existing(made.begin(), made.end());
    QStringList names;
    std::atomic<int> done{0};
    for (int i = 1; i <= count; ++i) {
        const QString name = steps.field(i, FieldImageName);
        if (existing.contains(fileNameOf(thumbnailPath(folder, name))))
            ++done;
        else
            names << name;
    }
    QThreadPool pool;
    for (const QString& name : names)
        pool.start([&done, folder, name, box] {
            makeThumbnail(folder, name, false, box);
            ++done;
        });
    for (int shown = 0; shown < count;) {
        const int now = done.load();
        if (now == shown) {
            QThread::msleep(5);
        } else {
            shown = now;
            progress.setStatus(QStringLiteral("サムネイル作成中・・") +
                               QString::number(shown).rightJustified(3, ' ') + '/' +
                               QString::number(count));
        }
        letEventsRun();
    }
    pool.waitForDone();
    progress.setStatus(QStringLiteral("サムネイル生成完了"));
    progress.showProgress(QString());
    return 0;
}

namespace {
void setMark(StepList& steps, int step, bool on) {
    QString line = steps.line(step);
    // Lines from other programs may lack trailing fields: make room for the mark.
    for (int tabs = static_cast<int>(line.count('\t')); tabs < FieldCheck; ++tabs)
        line += '\t';
    steps.setLine(step, withLineField(line, FieldCheck, on ? kCheckMark : QString()));
}
} // namespace

bool toggleCheckMark(StepList& steps, OperationList& opList, int step) {
    if (step < 1 || step > steps.count()) return false;
    const bool on = steps.field(step, FieldCheck).isEmpty();
    setMark(steps, step, on);
    opList.save();
    return on;
}

void setAllCheckMarks(StepList& steps, OperationList& opList, bool on) {
    for (int i = 1; i <= steps.count(); ++i)
        setMark(steps, i, on);
    opList.save();
}

ZoomResult zoomThumbnails(double current, bool larger) {
    ZoomResult r;
    const float next = float(current) * (larger ? 1.3f : 0.7f);
    if (larger && next >= 2.0f) {
        r.message = QStringLiteral("拡大最大値 2");
        r.factor = current;
        return r;
    }
    if (!larger && 0.1f >= next) {
        r.message = QStringLiteral("縮小最小値 0.1");
        r.factor = current;
        return r;
    }
    r.changed = true;
    r.factor = next;
    return r;
}

} // namespace klavoro
