#pragma once

#include "settings/frmsetting.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace klavoro {

class Dialogs;
class SettingPickers;

// What opening the settings dialog needs of the main window.
struct SettingsOpenerHooks {
    std::function<int()> recordedSteps;
    std::function<QStringList()> characterNames;
    // Layout, transparency, top-most state.
    std::function<void()> applySettings;
    // Empties the list and the picture, loads the capture folder's list and
    // sets the title again.
    std::function<void()> reloadList;
    std::function<bool()> isRecording;
};

// Opens "設定" without blocking the main window, waits with events running
// until it is closed, and re-applies what it changed.
class SettingsOpener : public QObject {
    Q_OBJECT
public:
    // `dialogs` answers the dialog's message boxes.
    SettingsOpener(Settings& settings, SettingsOpenerHooks hooks, Dialogs& dialogs, QWidget* owner);

    enum class From { Button, Menu };
    // True when the dialog was closed with Ok. A second call while it is
    // open brings it to the front and returns false at once.
    bool open(From from);
    // The open dialog, or null.
    frmSetting* dialog() const { return m_dialog; }
    // Cancels an open dialog (the main window is closing).
    void closeDialog();

    // The phrase-format window and the consistency check, shown modal over the
    // window they are given; until they are set their buttons are disabled.
    void setFormatWindow(std::function<void(QWidget*)> show) { m_showFormat = std::move(show); }
    void setCheckFileWindow(std::function<void(QWidget*)> show) {
        m_showCheckFile = std::move(show);
    }

signals:
    // After the dialog closed while recording runs and `target` changed
    // meanwhile: the input hook has to be removed and installed again, as its
    // delay depends on the target.
    void targetChangedWhileRecording();

private:
    Settings& m_settings;
    SettingsOpenerHooks m_hooks;
    QWidget* m_owner;
    QPointer<frmSetting> m_dialog;
    std::function<void(QWidget*)> m_showFormat, m_showCheckFile;
    Dialogs& m_dialogs;
};

} // namespace klavoro
