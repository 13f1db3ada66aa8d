// Manual redaction: a box dragged on the viewer is burnt into the step's pictures.
#include "edit/manualredaction.h"
#include "export/thumbnails.h"
#include "record/runmode.h"
#include "redact/boxes.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/logs.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/imageviewer.h"

namespace klavoro {
namespace {

void burnBox(frmKlavoro& w, const QRect& displayedBox) {
    const int n = w.selectedStepNumber();
    const QString name = n > 0 ? lineField(w.steps().line(n), FieldImageName) : QString();
    if (name.isEmpty() || !w.Pic->hasImage()) {
        w.setStatus(QStringLiteral("塗りつぶす画像がありません"));
        return;
    }
    if (!runMode().isIdle()) {
        w.setStatus(QStringLiteral("記録中は塗りつぶせません"));
        return;
    }
    const QRect box = pictureBoxOfView(displayedBox, w.Pic->displayedSize(), w.Pic->imageSize());
    if (box.isEmpty()) return;
    if (!w.dialogs().askOkCancelDefaultCancel(kRedactQuestion, kRedactTitle)) return;
    const Settings& s = conf();
    const BurnResult r =
        burnRedactionBox(captureFolder(), name, box, redactionColourOf(s), s.saveJpgQuality,
                         ThumbnailBox{s.thumbnailWidth, s.thumbnailHeight, s.textMag});
    if (!r.error.isEmpty()) {
        writeLog(QStringLiteral("塗りつぶし: ") + r.error);
        w.dialogs().message(r.error, kRedactTitle);
    } else {
        w.setStatus(QStringLiteral("塗りつぶしました（%1 ファイル）").arg(r.written.size()));
    }
    // Whatever was written is shown as it now is.
    if (!r.written.isEmpty()) {
        w.refreshImage();
        w.refreshThumbnails(n);
    }
}

} // namespace

void registerRedactCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuPicListRedact"), [&w] {
        if (!w.Pic->hasImage()) {
            w.setStatus(QStringLiteral("塗りつぶす画像がありません"));
            return;
        }
        w.Pic->setBoxMode(true);
        w.setStatus(QStringLiteral("塗りつぶす範囲をドラッグしてください"));
    });
    QObject::connect(w.Pic, &ImageViewer::boxDrawn, &w,
                     [&w](const QRect& box) { burnBox(w, box); });
}

} // namespace klavoro
