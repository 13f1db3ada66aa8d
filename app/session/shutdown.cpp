#include "app/session/shutdown.h"

#include "record/runmode.h"
#include "record/statusblock.h"
#include "store/conffile.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "app/session/sessionhost.h"
#include "store/settings.h"
#include "app/session/startup.h"
#include "store/textfile.h"

#include <exception>

namespace klavoro {

Shutdown::Shutdown(SessionHost& host, ConfFile& confFile, SessionState& state,
                   StatusBlock& statusBlock, Wait wait)
    : m_host(host), m_confFile(confFile), m_state(state), m_statusBlock(statusBlock),
      m_wait(std::move(wait)) {
    if (!m_wait) m_wait = waitMs;
}

Shutdown::Close Shutdown::closeRequest(bool fromCloseBox) {
    if (m_state.closing) return Close::Proceed;
    // A second request while the first one saves or waits: the first decides.
    if (m_inRequest) return Close::Cancel;
    m_inRequest = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inRequest};

    try {
        if (runMode().is(kRunGo)) {
            if (fromCloseBox && conf().tasktray == 1) {
                m_host.hideInNotificationArea();
                return Close::Cancel;
            }
            // The recording loop ends and closes the window itself.
            runMode().set(kRunEnd);
            return Close::Cancel;
        }
        return closeWhileIdle();
    } catch (const std::exception& e) {
        m_host.setWindowVisible(true);
        m_host.dialogs().message(QString::fromLocal8Bit(e.what()), QStringLiteral("QueryUnload"));
        m_state.closing = true;
        return Close::Proceed;
    }
}

Shutdown::Close Shutdown::closeWhileIdle() {
    m_host.setWindowVisible(false);
    letEventsRun();
    m_host.prepareToSave();
    m_host.saveList();
    // Settings that were never loaded are defaults: writing them would wipe
    // the user's file.
    if (m_state.settingsLoaded && m_confFile.save(m_state.overrides.forSaving(conf())) != 0) {
        const QString text = QStringLiteral("設定値保存エラー");
        // Shown again so that the message can be read during the pause.
        m_host.setWindowVisible(true);
        m_host.showStatus(text, false);
        writeLog(text);
        m_wait(3000);
    }
    m_state.closing = true;
    return Close::Proceed;
}

void Shutdown::unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    m_state.watch.reset();
    m_host.removeNotificationArea();
    deleteFileAndWait(programFolder() + QStringLiteral("wait"));
    m_statusBlock.close(); // publishing writes nothing from here on
    m_host.removeInputHook();
}

void Shutdown::finalRelease() {
    m_host.saveList();
}

} // namespace klavoro
