// Step text to the clipboard, and the shown image after a click on the viewer.
#include "store/dialogs.h"
#include "store/steplist.h"
#include "ui/clipboardtimer.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTime>

namespace klavoro {

namespace {

// A line as the list shows it: field 0 holds the step's position.
QString shownLine(const StepList& steps, int n) {
    return steps.data(steps.index(n - 1), Qt::DisplayRole).toString();
}

void copyText(frmKlavoro& w, const QString& text, const QString& status) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    // An empty text too is put on the clipboard as text, not just a cleared one.
    auto* data = new QMimeData;
    data->setText(text);
    clipboard->setMimeData(data);
    if (clipboard->text() != text) {
        w.dialogs().message(QStringLiteral("1 クリップボードに書き込めませんでした"),
                            QStringLiteral("クリップボードエラー"));
        return;
    }
    w.setStatus(status);
    w.dialogs().message(w.statusText() +
                            QStringLiteral("\r\nエクセルなどに貼り付けてご利用下さい。"),
                        QStringLiteral("クリップボードにコピー"));
}

} // namespace

QString stepsAsText(const StepList& steps, int selected) {
    if (selected < 0) return QString();
    if (selected > 0) return selected <= steps.count() ? shownLine(steps, selected) : QString();
    QString all;
    for (int n = 1; n <= steps.count(); ++n)
        all += shownLine(steps, n) + QStringLiteral("\r\n");
    return all;
}

ClipboardTimer::ClipboardTimer(std::function<QImage()> shownImage,
                               std::function<void(const QString&)> setStatus, QObject* parent)
    : QObject(parent), m_shownImage(std::move(shownImage)), m_setStatus(std::move(setStatus)) {
    m_timer.setInterval(300);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ClipboardTimer::fire);
}

void ClipboardTimer::start(const QString& tag) {
    m_tag = tag;
    m_timer.start();
}

void ClipboardTimer::cancel() {
    m_timer.stop();
}

void ClipboardTimer::fire() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    if (m_tag != QLatin1String("thumb")) {
        const QImage image = m_shownImage ? m_shownImage() : QImage();
        if (!image.isNull()) {
            clipboard->setImage(image);
            if (m_setStatus)
                m_setStatus(QStringLiteral("画像をクリップボードに転送！　") +
                            QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
        }
    }
    m_tag.clear();
}

void registerClipboardCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuListCopy"), [&w] {
        const int selected = w.selectedStepNumber();
        copyText(w, stepsAsText(w.steps(), selected > 0 ? selected : -1),
                 QStringLiteral("選択行テキストをクリップボードにコピー！"));
    });
    map.add(QStringLiteral("mnuListAllCopy"), [&w] {
        copyText(w, stepsAsText(w.steps(), 0),
                 QStringLiteral("全行テキストをクリップボードにコピー！"));
    });
}

} // namespace klavoro
