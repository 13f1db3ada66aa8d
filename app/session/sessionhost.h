#pragma once

#include <QString>

namespace klavoro {

class Dialogs;
struct StartOptions;

// What start-up and shut-down do to the main window and the program around it.
// The window side implements it; tests record the calls.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    virtual Dialogs& dialogs() = 0;

    // --- start-up ---
    // The debug label shows the window's handle in hexadecimal.
    virtual void showWindowHandle() = 0;
    // The "？" mark that opens the hot-key hint.
    virtual void showHintMark() = 0;
    virtual void publishStatus(const QString& status) = 0;
    // Settings to the window; key tables; the thumbnail panel measured.
    virtual void applySettings() = 0;
    virtual void setStartOptions(const StartOptions& options) = 0;
    virtual void setWindowVisible(bool visible) = 0;
    virtual void minimizeWindow() = 0;
    virtual void setMenuBarVisible(bool visible) = 0;
    virtual void loadList() = 0;
    virtual int stepCount() const = 0;
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual void restoreTitle() = 0;
    // Record on, stop off, play when there are steps (as for the idle run mode).
    virtual void setButtonsForRunMode() = 0;
    virtual void showStatus(const QString& text, bool highlighted) = 0;
    // A command that stays disabled for the whole run.
    virtual void disableCommand(const QString& name) = 0;
    virtual void layoutThumbnailPanel() = 0;
    virtual void relayout() = 0;
    // Runs a window command ("cmdGo" starts recording as its button does).
    virtual bool runCommand(const QString& name) = 0;
    // The 10 ms input timer of the idle window.
    virtual void armInputTimer() = 0;

    // --- shut-down ---
    // Hides the window into the notification area; false when there is none
    // (the window is then minimised instead).
    virtual bool hideInNotificationArea() = 0;
    virtual void removeNotificationArea() = 0;
    // Right before the list and the settings are saved: the window writes its
    // layout into the settings and tells whoever must end something first.
    virtual void prepareToSave() = 0;
    virtual void saveList() = 0;
    virtual void removeInputHook() = 0;
    // Asks the window to close (the close request then decides).
    virtual void closeWindow() = 0;
};

} // namespace klavoro
