// "個別保存（画像）": a copy of the shown step's image, somewhere else.
#include "capture/imagesaving.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace klavoro {

void registerSaveAsCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuSaveNameAs"), [&w] {
        const QString line = w.steps().line(0);
        const QString name = lineField(line, FieldImageName);
        const QImage image = w.currentImage();
        if (name.isEmpty() || image.isNull()) {
            w.dialogs().message(QStringLiteral("画像がありません。"), QStringLiteral("保存不可"));
            return;
        }
        const QStringList filters = {QStringLiteral("ビットマップ(*.bmp)"),
                                     QStringLiteral("JPEG(*.jpg)"), QStringLiteral("PNG(*.png)"),
                                     QStringLiteral("GIF(*.gif)")};
        QString selected = filters.value(
            saveAsFilterIndex(lineField(line, FieldExtension), conf().saveFileFormat) - 1);
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QString path = QFileDialog::getSaveFileName(&w, QStringLiteral("名前を付けて保存"),
                                                    QDir(desktop).filePath(name),
                                                    filters.join(QStringLiteral(";;")), &selected);
        if (path.isEmpty()) return;
        // The chosen filter gives the format when the name has no extension.
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + selected.section(QLatin1Char('.'), 1).chopped(1);
        const bool intoCaptureFolder =
            QDir(QFileInfo(path).absolutePath()) == QDir(captureFolder()); // refused with a message
        if (!saveImageCopyAs(image, path, captureFolder(), conf().saveJpgQuality, w.dialogs()) &&
            !intoCaptureFolder)
            w.setStatus(QStringLiteral("保存エラー！"));
    });
}

} // namespace klavoro
