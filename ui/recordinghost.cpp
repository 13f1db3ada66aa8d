#include "ui/recordinghost.h"

#include "platform/desktop.h"
#include "platform/services.h"
#include "platform/sound.h"
#include "record/notificationarea.h"
#include "store/foldercommands.h"
#include "store/notices.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"
#include "ui/imageviewer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QWindow>

namespace klavoro {

namespace {
QString hex(WindowId w) {
    return QString::number(w, 16).toUpper();
}
QString colourStyle(qint32 bgr) {
    const QColor c(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return QStringLiteral("color: %1;").arg(c.name());
}
} // namespace

WindowRecordingHost::WindowRecordingHost(frmKlavoro& window)
    : m_w(window), m_dialogs(*this),
      m_sounds(window.platform() ? window.platform()->sound : nullptr) {}

// --- questions ---

template <typename F> auto WindowRecordingHost::VisibleDialogs::visible(F ask) {
    // A box over a minimised window may not show: the window comes back for it.
    const bool minimised = m_host.m_out && m_host.m_method == QLatin1String("minimised");
    if (minimised) m_host.m_w.showNormal();
    auto answer = ask(m_host.m_w.dialogs());
    if (minimised) m_host.m_w.showMinimized();
    return answer;
}

void WindowRecordingHost::VisibleDialogs::message(const QString& text, const QString& title) {
    visible([&](Dialogs& d) {
        d.message(text, title);
        return 0;
    });
}

bool WindowRecordingHost::VisibleDialogs::askYesNo(const QString& text, const QString& title,
                                                   bool defaultYes) {
    return visible([&](Dialogs& d) { return d.askYesNo(text, title, defaultYes); });
}

Dialogs::Answer WindowRecordingHost::VisibleDialogs::askYesNoCancel(const QString& text,
                                                                    const QString& title,
                                                                    Answer preselected) {
    return visible([&](Dialogs& d) { return d.askYesNoCancel(text, title, preselected); });
}

bool WindowRecordingHost::VisibleDialogs::askOkCancel(const QString& text, const QString& title) {
    return visible([&](Dialogs& d) { return d.askOkCancel(text, title); });
}

// --- StepHost ---

bool WindowRecordingHost::isOwnWindow(WindowId topLevel) {
    if (topLevel == 0) return false;
    for (QWindow* w : QGuiApplication::topLevelWindows())
        if (w->handle() && w->winId() == topLevel) return true;
    Desktop* desktop = m_w.platform() ? m_w.platform()->desktop : nullptr;
    return desktop && desktop->processId(topLevel) == QCoreApplication::applicationPid();
}

void WindowRecordingHost::setStatus(const QString& text, qint32 colour) {
    m_w.setStatus(text);
    if (colour != 0) m_w.lblStatus->setStyleSheet(colourStyle(colour));
}

void WindowRecordingHost::publishStatus(const QString& text) {
    m_w.publishStatus(text);
}

void WindowRecordingHost::setCaption(const QString& caption) {
    m_w.setCaption(caption);
}

void WindowRecordingHost::showDetail(const StepDetail& d) {
    m_w.setDetailFields({d.no, d.fileName, d.ext, d.sentence, d.event, d.pos});
}

void WindowRecordingHost::showSentence(const QString& sentence) {
    m_w.txtCtrl->setText(sentence);
}

void WindowRecordingHost::showEvent(const QString& kindOrName, quint32 wParam) {
    m_w.lblEvent->setText(kindOrName);
    m_w.lblWParam->setText(QString::number(wParam, 16).toUpper());
}

void WindowRecordingHost::showInformation(QPoint p, WindowId under, WindowId foreground) {
    m_w.lblPoint->setText(QString::number(p.x()) + ',' + QString::number(p.y()));
    m_w.lblWindow->setText(hex(under));
    m_w.lblForeground->setText(hex(foreground));
}

void WindowRecordingHost::showCapture(const QImage& image, bool reduce) {
    // The picture just taken is the main picture, saved or not.
    m_w.Pic->showImage(image);
    if (reduce && image.width() > m_w.Pic->innerWidth())
        m_w.Pic->setDisplayWidth(m_w.Pic->innerWidth());
    m_w.lblImgSize->setText(QString::number(image.width()) + 'x' + QString::number(image.height()));
}

void WindowRecordingHost::stepCommitted(int n) {
    m_w.selectStep(n);
}

void WindowRecordingHost::markSaved(int n) {
    m_w.refreshThumbnails(n);
}

void WindowRecordingHost::setCapturing(bool capturing) {
    m_w.notificationArea().setCapturing(capturing);
}

void WindowRecordingHost::playSound(const QString& fileName) {
    // The caller has checked `capture sound` and the option already.
    m_sounds.play(fileName, true);
}

void WindowRecordingHost::showPopupCounter(int next) {
    m_w.notices().showPopup(QString::number(next));
}

// --- RecordingHost ---

void WindowRecordingHost::unmarkedFolderCheck() {
    FolderCommands(m_w.dialogs(), [this] { m_w.reloadList(); }).checkUnmarkedFolder();
}

void WindowRecordingHost::relayout() {
    m_w.relayout();
}

void WindowRecordingHost::setImageSizePanelVisible(bool visible) {
    m_w.setImageSizePanelVisible(visible);
}

int WindowRecordingHost::stepNumberField() {
    return m_w.txtNo->text().trimmed().toInt();
}

bool WindowRecordingHost::deleteAllSteps() {
    return deleteAll && deleteAll();
}

void WindowRecordingHost::clearForNewList() {
    m_w.txtNo->clear(); // step 0 shows as nothing
    m_w.txtCtrl->clear();
    m_w.txtKey->clear();
    m_w.clearImage();
    m_w.frKey->hide();
}

void WindowRecordingHost::setOutOfTheWay(bool out) {
    if (out == m_out) return;
    m_out = out;
    Desktop* desktop = m_w.platform() ? m_w.platform()->desktop : nullptr;
    // Minimised, the window is unmapped: in no capture and under no click.
    // (A window made transparent would still be the window under the pointer
    // for every press on its area, though the click went through it.)
    if (out) {
        if (!desktop || desktop->windowManagerRunning()) {
            m_method = QStringLiteral("minimised");
            m_w.minimiseOnceMapped(); // -auto starts before the window was ever shown
        } else {
            // Nothing would iconify it without a window manager.
            m_method = QStringLiteral("hidden");
            m_w.hide();
        }
        return;
    }
    m_w.cancelPendingMinimise();
    if (m_method == QLatin1String("minimised"))
        m_w.showNormal();
    else
        m_w.show();
}

void WindowRecordingHost::minimizeWindow() {
    m_w.showMinimized();
}

void WindowRecordingHost::restoreWindow() {
    if (m_w.isMinimized()) m_w.showNormal();
}

void WindowRecordingHost::setWindowVisible(bool visible) {
    if (!visible)
        m_w.hide();
    else if (!m_out && !m_w.isVisible())
        m_w.show();
}

bool WindowRecordingHost::isWindowVisible() {
    return m_w.isVisible() && !m_w.isMinimized();
}

bool WindowRecordingHost::isForeground() {
    return m_w.isActiveWindow();
}

void WindowRecordingHost::bringToFront() {
    if (m_w.isMinimized()) m_w.showNormal();
    m_w.bringToFront();
}

NotificationArea& WindowRecordingHost::notificationArea() {
    return m_w.notificationArea();
}

QString WindowRecordingHost::trayTip() {
    return m_w.windowTitle() + QStringLiteral(" － ") +
           QString::number(m_w.lstRecord->verticalScrollBar()->value());
}

void WindowRecordingHost::unloadMainWindow() {
    QMetaObject::invokeMethod(
        &m_w, [this] { m_w.close(); }, Qt::QueuedConnection);
}

void WindowRecordingHost::showMessage(const QString& text, qint32 colour) {
    m_w.showMessage(text, colour);
}

void WindowRecordingHost::setMessageCaption(const QString& text, qint32 colour) {
    m_w.setMessageCaption(text, colour);
}

void WindowRecordingHost::restoreTitle() {
    m_w.restoreTitle();
}

void WindowRecordingHost::setRecordingButtons(bool) {
    m_w.setButtonsForRunMode(); // the buttons follow the run mode
}

void WindowRecordingHost::showPopup(const QString& text, qint32 colour) {
    m_w.notices().showPopup(text, colour);
}

void WindowRecordingHost::closePopup() {
    m_w.notices().closePopup();
}

void WindowRecordingHost::showProgress(const QString& text, int ms) {
    m_w.notices().showProgress(text, ms);
}

// --- InputTimerHost ---

bool WindowRecordingHost::isMainWindowForeground() {
    return m_w.isActiveWindow();
}

int WindowRecordingHost::stepCount() {
    return m_w.steps().count();
}

int WindowRecordingHost::selectedStep() {
    return m_w.selectedStepNumber();
}

void WindowRecordingHost::selectStep(int n) {
    m_w.selectStep(n);
}

void WindowRecordingHost::deleteSelectedStep() {
    m_w.runCommand(QStringLiteral("mnuDel"));
}

void WindowRecordingHost::saveCurrentStepImage() {
    if (saveMainPicture) saveMainPicture(m_w.selectedStepNumber());
}

} // namespace klavoro
