#pragma once

#include "record/statusblock.h"
#include "record/windowwatch.h"
#include "store/settings.h"
#include "store/startoptions.h"

#include <QString>

#include <memory>
#include <optional>

namespace klavoro {

class ConfFile;
class Desktop;
class Dialogs;
class InstanceLock;
class SessionHost;

// Start options that stand in for settings during this run ("mouse",
// "clipboard", "sound", "tasktray"): every part reads the settings record, so
// they are set there, and the file keeps the user's own values.
class RunOverrides {
public:
    void apply(const StartOptions& options, Settings& settings);
    // The record as it is to be saved: an overridden key that still holds the
    // forced value gets the user's value back; one changed since is kept.
    Settings forSaving(const Settings& settings) const;

private:
    std::optional<qint32> m_mouseCursor, m_copyToClipboard, m_captureSound, m_tasktray;
};

// What start-up prepares and shut-down releases.
struct SessionState {
    StartOptions options;
    RunOverrides overrides;
    std::unique_ptr<WindowWatch> watch;
    bool errorState = false;
    bool settingsLoaded = false; // only then may the close write Conf.txt
    bool closing = false;        // the close went ahead: nothing may start any more
};

// The status block's name: "GetImage", or $KLAVORO_STATUS_BLOCK (tests that
// run side by side must not share one block).
QString statusBlockName();

// The first step, before anything is touched: true when another copy runs
// for this user and display; the user was told so and the program must end.
bool refuseSecondInstance(InstanceLock& lock, Dialogs& dialogs);

// The start-up of the main window, in its fixed order.
class Startup {
public:
    // `desktop` may be null: no window watch. `statusBlock` is opened here
    // under `statusName`; shut-down closes it.
    Startup(SessionHost& host, ConfFile& confFile, SessionState& state, StatusBlock& statusBlock,
            Desktop* desktop, QString statusName = statusBlockName());

    // The command line is the program's arguments joined. False when a step
    // failed and start-up stopped in the error state.
    bool run(const QString& commandLine);

private:
    void openStatusBlock();
    bool loadSettings();
    void applyCommandLine(const QString& commandLine);
    void startWatch();
    void showThumbCount();
    void checkImageLibrary();
    void enterErrorState();

    SessionHost& m_host;
    ConfFile& m_confFile;
    SessionState& m_state;
    StatusBlock& m_statusBlock;
    Desktop* m_desktop;
    QString m_statusName;
};

} // namespace klavoro
