#include "app/windowsession.h"

#include "platform/inputhook.h"
#include "platform/services.h"
#include "record/notificationarea.h"
#include "record/runmode.h"
#include "store/logs.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScrollBar>
#include <QWindow>

namespace klavoro {

QString notificationTip(const frmKlavoro& window) {
    return window.windowTitle() + QStringLiteral(" － ") +
           QString::number(window.lstRecord->verticalScrollBar()->value());
}

WindowSession::WindowSession(frmKlavoro& window, ConfFile& confFile, StatusBlock& statusBlock)
    : m_window(window), m_platform(*window.platform()), m_confFile(confFile),
      m_statusBlock(statusBlock), m_shutdown(*this, confFile, m_state, statusBlock) {
    m_window.installEventFilter(this);
    // The window enables its menu entries again on every change of the run
    // mode; connected after it, this runs after it.
    connect(&runMode(), &RunMode::changed, this, [this] { applyDisabledCommands(); });
}

WindowSession::~WindowSession() {
    m_window.removeEventFilter(this);
}

bool WindowSession::start(const QString& commandLine) {
    Startup startup(*this, m_confFile, m_state, m_statusBlock, m_platform.desktop);
    return startup.run(commandLine);
}

void WindowSession::requestClose(bool fromCloseBox) {
    if (m_shutdown.closeRequest(fromCloseBox) == Shutdown::Close::Cancel) return;
    m_window.close(); // the close request has decided: the event goes through
}

void WindowSession::finalRelease() {
    m_shutdown.finalRelease();
}

bool WindowSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    auto* close = static_cast<QCloseEvent*>(event);
    // The window manager's close box arrives as a spontaneous event; close()
    // from the program does not.
    if (m_shutdown.closeRequest(close->spontaneous()) == Shutdown::Close::Cancel) {
        close->ignore();
        return true;
    }
    close->accept();
    m_shutdown.unload();
    emit unloaded();
    return true; // saved here already: the window's own close handling stays out
}

Dialogs& WindowSession::dialogs() {
    return m_window.dialogs();
}

void WindowSession::showWindowHandle() {
    m_window.lblhWnd->setText(QString::number(m_window.winId(), 16).toUpper());
}

void WindowSession::showHintMark() {
    m_window.lblHint->setVisible(true);
}

void WindowSession::publishStatus(const QString& status) {
    m_window.publishStatus(status);
}

void WindowSession::applySettings() {
    m_window.applySettings();
}

void WindowSession::setStartOptions(const StartOptions& options) {
    m_window.setStartOptions(options);
}

void WindowSession::setWindowVisible(bool visible) {
    m_window.setVisible(visible);
    if (!visible || !m_minimiseOnShow) return;
    m_minimiseOnShow = false;
    m_window.minimiseOnceMapped();
}

void WindowSession::minimizeWindow() {
    if (m_window.isVisible())
        m_window.showMinimized();
    else
        m_minimiseOnShow = true;
}

void WindowSession::setMenuBarVisible(bool visible) {
    m_window.menuBar()->setVisible(visible);
}

void WindowSession::loadList() {
    m_window.reloadList();
}

int WindowSession::stepCount() const {
    return m_window.steps().count();
}

void WindowSession::setWindowEnabled(bool enabled) {
    m_window.setEnabled(enabled);
}

void WindowSession::restoreTitle() {
    m_window.restoreTitle();
}

void WindowSession::setButtonsForRunMode() {
    m_window.setButtonsForRunMode();
}

void WindowSession::showStatus(const QString& text, bool highlighted) {
    m_window.setStatus(text); // the next status text drops the highlight
    if (highlighted)
        m_window.lblStatus->setStyleSheet(
            QStringLiteral("color: #a00000; background: #fff3a0; font-weight: bold;"));
}

void WindowSession::disableCommand(const QString& name) {
    if (!m_disabled.contains(name)) m_disabled << name;
    applyDisabledCommands();
}

void WindowSession::applyDisabledCommands() {
    for (const QString& name : std::as_const(m_disabled))
        if (auto* action = m_window.findChild<QAction*>(name)) action->setEnabled(false);
}

void WindowSession::layoutThumbnailPanel() {
    m_window.relayout();
}

void WindowSession::relayout() {
    m_window.relayout();
}

bool WindowSession::runCommand(const QString& name) {
    return m_window.runCommand(name);
}

void WindowSession::armInputTimer() {
    // The recording family owns the timer; before it registers one there is none.
    if (m_window.commands().contains(kInputTimerCommand)) m_window.runCommand(kInputTimerCommand);
}

bool WindowSession::hideInNotificationArea() {
    return m_window.notificationArea().add(notificationTip(m_window));
}

void WindowSession::removeNotificationArea() {
    m_window.notificationArea().remove(false);
}

void WindowSession::prepareToSave() {
    emit m_window.closing();
    m_window.storeLayoutSettings();
}

void WindowSession::saveList() {
    m_window.operationList().save();
}

void WindowSession::removeInputHook() {
    if (m_platform.inputHook && m_platform.inputHook->isHooked()) m_platform.inputHook->ResetHook();
}

void WindowSession::closeWindow() {
    m_window.close();
}

} // namespace klavoro
