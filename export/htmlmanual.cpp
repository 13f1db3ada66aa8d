#include "export/htmlmanual.h"

#include "export/htmlpage.h"
#include "export/htmltext.h"
#include "export/manualsteps.h"
#include "export/thumbnails.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace klavoro {
namespace {

class ThumbnailReport : public ThumbnailProgress {
public:
    explicit ThumbnailReport(HtmlManualHost& host) : m_host(host) {}
    void showProgress(const QString& text) override { m_host.showProgress(text); }
    void setStatus(const QString& text) override { m_host.setStatus(text); }

private:
    HtmlManualHost& m_host;
};

// The copy must stay inside the capture folder: a link where a folder or a
// file of the copy goes is never followed (a file link is replaced, a folder
// link is left alone).
bool copyParts(const QString& source, const QString& target) {
    const QFileInfo dst(target);
    if (dst.isSymLink() || (dst.exists() && !dst.isDir())) {
        writeLog(QStringLiteral("HTML: not a folder, js files not copied: ") + target);
        return false;
    }
    if (!QDir().mkpath(target)) return false;
    bool ok = true;
    const QFileInfoList entries =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& from : entries) {
        const QString to = target + '/' + from.fileName();
        if (from.isDir()) {
            ok = copyParts(from.filePath(), to) && ok;
            continue;
        }
        const QFileInfo existing(to);
        if (existing.isDir() && !existing.isSymLink()) {
            ok = false;
            continue;
        }
        if (existing.isSymLink() || existing.exists()) QFile::remove(to);
        ok = QFile::copy(from.filePath(), to) && ok;
    }
    return ok;
}

ThumbnailBox thumbnailBox(const Settings& s) {
    return ThumbnailBox{s.thumbnailWidth, s.thumbnailHeight, s.textMag};
}

} // namespace

bool isHtmlProgressPoint(int step, int count) {
    return step == 1 || (count - step) % 50 == 0;
}

QString htmlProgressText(int step, int count) {
    return QStringLiteral("HTML作成中・・・") + QString::number(count - step) +
           QStringLiteral("\r\n");
}

bool buildHtmlBody(const StepList& steps, const Settings& settings, const QString& captureFolder,
                   bool thumbnails, HtmlManualHost& host, QString* body) {
    const ManualSteps manual = ManualSteps::of(steps, captureFolder, settings);
    const int count = manual.count();
    LayeredText text;
    for (int i = 1; i <= count; ++i) {
        const ManualStep step = manual.step(i);
        // Text steps have no picture to show; their numbers stay as gaps.
        if (!step.textFile) {
            text.append(stepBlockHtml(
                step.numberText, step.lines,
                imageHtml(step.imageName, step.fileName, thumbnails, step.altText())));
        }
        text.stepDone(i);
        if (isHtmlProgressPoint(i, count)) {
            host.showProgress(htmlProgressText(i, count));
            if (host.cancelRequested()) return false;
            host.letEventsRun();
        }
    }
    *body = text.take();
    return true;
}

HtmlResult writeHtmlManual(const StepList& steps, const Settings& settings,
                           const HtmlManualPaths& paths, bool thumbnails, Dialogs& dialogs,
                           HtmlManualHost& host) {
    const QString& folder = paths.captureFolder;
    if (thumbnails) {
        ThumbnailReport report(host);
        if (makeMissingThumbnails(steps, folder, thumbnailBox(settings), dialogs, report) == -1)
            return HtmlResult::NoSteps;
    }
    // The page works without the copy (it just looks plain), so a failure
    // does not stop it.
    if (!copyParts(paths.partsFolder, folder + QStringLiteral("js")))
        writeLog(QStringLiteral("HTML: js files not fully copied from ") + paths.partsFolder);

    QString body;
    if (!buildHtmlBody(steps, settings, folder, thumbnails, host, &body)) {
        host.showProgress(QString());
        return HtmlResult::Cancelled;
    }
    const QString menu = readTextFile(paths.partsFolder + QStringLiteral("/menu-data.txt"),
                                      QStringLiteral("shift-jis"), &dialogs);
    const QString page =
        pageHtml(manualTitle(folder), manualDate(), menu, body, borderStyleHtml(settings));
    host.showProgress(QString());
    host.letEventsRun();
    if (host.cancelRequested()) return HtmlResult::Cancelled;

    // Replaced atomically: a failed write keeps the previous page, and only a
    // page that was written is opened.
    const QString path = folder + QStringLiteral("index.htm");
    QString error;
    if (!writeWholeFileBytes(path, htmlShiftJis(page), &error)) {
        writeLog(QStringLiteral("HTML: index.htm not written: ") + error);
        return HtmlResult::WriteFailed;
    }
    host.openPage(path);
    host.showProgress(QStringLiteral("ファイル名：") + QDir::toNativeSeparators(path), 2500);
    return HtmlResult::Written;
}

QString htmlPartsFolder() {
    // The shipped copy of an installed program is read-only: a user's own copy
    // beside the settings takes its place, so the page can still be customised.
    const QString own = programFolder() + QStringLiteral("parts/js");
    if (isInstalledCopy() && QFileInfo(own).isDir()) return own;
    const QStringList shipped = shippedFileFolders();
    for (const QString& folder : shipped)
        if (QFileInfo(folder + QStringLiteral("parts/js/html-js.js")).isFile())
            return folder + QStringLiteral("parts/js");
    return shipped.first() + QStringLiteral("parts/js");
}

} // namespace klavoro
