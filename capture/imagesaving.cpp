#include "capture/imagesaving.h"

#include "capture/capturearea.h"
#include "capture/encoders.h"
#include "capture/imageload.h"
#include "export/thumbnails.h"
#include "store/blanks.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/imagename.h"
#include "store/logs.h"
#include "store/oplist.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <cmath>

namespace klavoro {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString pathTooLongMessage(const QString& path) {
    const int n = halfWidthLength(path) + 2;
    if (n <= 256) return {};
    return QStringLiteral("ファイルパスが長すぎます！ ") + QString::number(n) +
           QStringLiteral("文字（半角換算）") + kCrLf + kCrLf + path + kCrLf + kCrLf +
           QStringLiteral("ファイルパスの制限長は、256 文字（半角換算）です。") + kCrLf +
           QStringLiteral("ファイル名を短くするか、階層の浅いフォルダに移動して下さい。") + kCrLf;
}

StepImageSaver::StepImageSaver(StepList& steps, OperationList& opList, Dialogs& dialogs,
                               StepImageHost& host)
    : m_steps(steps), m_opList(opList), m_dialogs(dialogs), m_host(host) {}

bool StepImageSaver::fail(const QString& text) {
    m_dialogs.message(text, QStringLiteral("保存エラー"));
    m_host.publishStatus(QStringLiteral("保存エラー！"));
    return false;
}

bool StepImageSaver::saveStepImage(int step, const QString& imageName, bool noListUpdate,
                                   const CapturedImages& images) {
    const Settings& s = conf();
    QString name = imageName.isEmpty() ? m_steps.field(step, FieldImageName)
                                       : trimBlanks(imageName).toString();
    QString ext = m_steps.field(step, FieldExtension);
    if (ext.isEmpty()) ext = imageExtensionFor(s.saveFileFormat);
    const QString folder = captureFolder();
    const QString base = withoutExtension(name);
    const QString path = base.isEmpty() ? QString() : imagePathForSaving(folder, base, ext);
    // Nothing to save under is a failure, not a success without a file.
    if (path.isEmpty()) return fail(folder + name + QStringLiteral("の作成に失敗！") + kCrLf);
    const QString tooLong = pathTooLongMessage(path);
    if (!tooLong.isEmpty()) return fail(tooLong);

    // One name, one file: other extensions of the name go first.
    deleteFileAndWait(withoutExtension(path) + QStringLiteral(".*"));
    StepImageFiles files;
    files.folder = folder;
    files.path = path;
    files.imageName = base;
    files.jpegQuality = s.saveJpgQuality;
    files.thumbnail = step > 0;
    files.thumbnailWidth = s.thumbnailWidth;
    files.thumbnailHeight = s.thumbnailHeight;
    files.textMag = s.textMag;
    const QString error =
        writeStepImageFiles(files, images.marked, s.noRectFile == 1 ? images.unmarked : QImage());
    if (!error.isEmpty()) return fail(error);
    if (step > 0) m_host.markSaved(step);
    m_host.showStepText(step);
    m_steps.setField(FieldExtension, step, ext);
    writeExeLog(exeLogRecord(path, images));
    if (!noListUpdate) m_opList.save();
    return true;
}

QString writeStepImageFiles(const StepImageFiles& files, const QImage& marked,
                            const QImage& unmarked) {
    const auto write = [&](const QImage& image, const QString& path) -> QString {
        QString error;
        bool ok = false;
        if (files.syncToDisk) {
            ok = writeByExtension(image, path, files.jpegQuality, &error);
        } else {
            const QByteArray bytes =
                encodeByExtension(image, extensionOf(path), files.jpegQuality, &error);
            ok = !bytes.isEmpty() && writeNewFileBytes(path, bytes, &error);
        }
        return ok ? QString() : path + QStringLiteral("の作成に失敗！") + kCrLf + error;
    };
    if (QString failed = write(marked, files.path); !failed.isEmpty()) return failed;
    if (!unmarked.isNull()) {
        const QString copy = files.folder + QStringLiteral("NO_RECT/") + fileNameOf(files.path);
        if (!createFolderTree(files.folder + QStringLiteral("NO_RECT")))
            return copy + QStringLiteral("の作成に失敗！") + kCrLf;
        if (QString failed = write(unmarked, copy); !failed.isEmpty()) return failed;
    }
    if (files.thumbnail)
        makeThumbnail(files.folder, files.imageName, false,
                      {files.thumbnailWidth, files.thumbnailHeight, files.textMag});
    return {};
}

QString exeLogRecord(const QString& path, const CapturedImages& images) {
    const Settings& s = conf();
    return QStringLiteral("PicFile    :") + path + kCrLf + QStringLiteral("Screen  W,H:") +
           QString::number(images.screenSize.width()) + ',' +
           QString::number(images.screenSize.height()) + kCrLf + QStringLiteral("Pic     W,H:") +
           QString::number(images.marked.width()) + ',' + QString::number(images.marked.height()) +
           kCrLf + QStringLiteral("Target     :") + images.targetName + kCrLf +
           QStringLiteral("PlainScale :") + QString::number(s.plainScale) + kCrLf +
           QStringLiteral("Conf_RectPointColor , Conf_RectPointWidth, Conf_RectPointRound:") +
           QString::number(s.rectPointColor) + ',' + QString::number(s.rectPointWidth) + ',' +
           QString::number(s.rectPointRound);
}

bool convertByExtension(const QString& destination, const QString& source, int jpegQuality) {
    const QString ext = extensionOf(destination).toUpper();
    if (ext != QLatin1String("BMP") && ext != QLatin1String("PNG") && ext != QLatin1String("GIF") &&
        ext != QLatin1String("JPG"))
        return false;
    const QImage image = loadImageFile(source);
    return !image.isNull() && writeByExtension(image, destination, jpegQuality);
}

bool fitFileIntoSize(const QString& source, const QString& destination, int widthMax, int heightMax,
                     double textMag) {
    const QImage image = loadImageFile(source);
    if (image.isNull() || widthMax <= 0 || heightMax <= 0) return false;
    const QSize size = fittedSize(image.size(), widthMax, heightMax, textMag);
    return resizeIntoJpeg(source, destination, size.width(), size.height(), 100);
}

int saveAsFilterIndex(const QString& stepExtension, int saveFileFormat) {
    const QString ext = stepExtension.isEmpty() ? imageExtensionFor(saveFileFormat) : stepExtension;
    return formatIndexForExtension(ext) + 1;
}

bool saveImageCopyAs(const QImage& image, const QString& chosenPath, const QString& captureFolder,
                     int jpegQuality, Dialogs& dialogs) {
    const QString chosenFolder = withTrailingSeparator(parentFolder(chosenPath));
    if (chosenFolder.compare(withTrailingSeparator(captureFolder), Qt::CaseInsensitive) == 0) {
        dialogs.message(captureFolder + QStringLiteral(" 以外のフォルダを指定して下さい！"),
                        QStringLiteral("フォルダ指定不可"));
        return false;
    }
    return writeByExtension(image, chosenPath, jpegQuality);
}

} // namespace klavoro
