#pragma once

#include "app/session/sessionhost.h"
#include "app/session/shutdown.h"
#include "app/session/startup.h"

#include <QObject>
#include <QStringList>

namespace klavoro {

class ConfFile;
class StatusBlock;
class frmKlavoro;
struct PlatformServices;

// Start-up and shut-down of the main window: the window side of Startup and
// Shutdown. It takes the window's close requests (the close box, close()
// from the end command, the window watch, the recording loop) before the
// window does, so that recording, the tray and the settings are dealt with
// in their order.
class WindowSession : public QObject, public SessionHost {
    Q_OBJECT
public:
    WindowSession(frmKlavoro& window, ConfFile& confFile, StatusBlock& statusBlock);
    ~WindowSession() override;

    // Loads the window; false when start-up ended in the error state.
    bool start(const QString& commandLine);
    // A close that had to wait (for a long operation), asked again as the
    // window manager's close box or as the program's own close.
    void requestClose(bool fromCloseBox);
    // When the window is finally released.
    void finalRelease();
    const SessionState& state() const { return m_state; }

    // --- SessionHost ---
    Dialogs& dialogs() override;
    void showWindowHandle() override;
    void showHintMark() override;
    void publishStatus(const QString& status) override;
    void applySettings() override;
    void setStartOptions(const StartOptions& options) override;
    void setWindowVisible(bool visible) override;
    void minimizeWindow() override;
    void setMenuBarVisible(bool visible) override;
    void loadList() override;
    int stepCount() const override;
    void setWindowEnabled(bool enabled) override;
    void restoreTitle() override;
    void setButtonsForRunMode() override;
    void showStatus(const QString& text, bool highlighted) override;
    void disableCommand(const QString& name) override;
    void layoutThumbnailPanel() override;
    void relayout() override;
    bool runCommand(const QString& name) override;
    void armInputTimer() override;
    bool hideInNotificationArea() override;
    void removeNotificationArea() override;
    void prepareToSave() override;
    void saveList() override;
    void removeInputHook() override;
    void closeWindow() override;

    // The command a family registers to run the idle window's input timer.
    static inline const QString kInputTimerCommand = QStringLiteral("Timer_MsgLoop");

signals:
    // The close went ahead and everything is released: the program may end.
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyDisabledCommands();

    frmKlavoro& m_window;
    PlatformServices& m_platform;
    ConfFile& m_confFile;
    StatusBlock& m_statusBlock;
    SessionState m_state;
    Shutdown m_shutdown;
    QStringList m_disabled;
    bool m_minimiseOnShow = false;
};

// The tip of the notification-area icon: the window title, " － " and the
// list's scroll position.
QString notificationTip(const frmKlavoro& window);

} // namespace klavoro
