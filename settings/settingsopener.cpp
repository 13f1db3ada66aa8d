#include "settings/settingsopener.h"

#include "store/capturefolder.h"

#include <QEventLoop>

namespace klavoro {

SettingsOpener::SettingsOpener(Settings& settings, SettingsOpenerHooks hooks, Dialogs& dialogs,
                               QWidget* owner)
    : QObject(owner), m_settings(settings), m_hooks(std::move(hooks)), m_owner(owner),
      m_dialogs(dialogs) {}

bool SettingsOpener::open(From from) {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return false;
    }
    const qint32 target = m_settings.target;
    const QString folder = captureFolder();

    SettingHooks hooks;
    hooks.recordedSteps = m_hooks.recordedSteps;
    hooks.characterNames = m_hooks.characterNames;
    hooks.showFormat = m_showFormat;
    hooks.showCheckFile = m_showCheckFile;
    m_dialog = new frmSetting(m_settings, hooks, &m_dialogs, nullptr, m_owner);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    QEventLoop wait;
    connect(m_dialog, &QDialog::finished, &wait, &QEventLoop::quit);
    connect(m_dialog, &QObject::destroyed, &wait, &QEventLoop::quit);
    m_dialog->show();
    wait.exec();
    const bool accepted = m_dialog && m_dialog->accepted();
    delete m_dialog.data();

    if (m_hooks.applySettings) m_hooks.applySettings();
    const bool recording = m_hooks.isRecording && m_hooks.isRecording();
    if (recording && m_settings.target != target) emit targetChangedWhileRecording();
    // A list shown for another folder would be saved into the new one, so a
    // changed folder always brings its own list. Never under a running recording.
    const bool folderChanged = captureFolder() != folder;
    if (accepted && !recording && (from == From::Button || folderChanged) && m_hooks.reloadList)
        m_hooks.reloadList();
    return accepted;
}

void SettingsOpener::closeDialog() {
    if (m_dialog) m_dialog->reject();
}

} // namespace klavoro
