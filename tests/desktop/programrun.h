#pragma once

#include "platform/desktop.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct _XDisplay;

namespace klavoro::test {

// A top-level window of some process as the X server sees it, mapped or not.
struct ClientWindow {
    WindowId id = 0;
    QString title;
    bool viewable = false;
    bool iconic = false; // minimised (or asked to start so)
};

// A window's _NET_WM_NAME (empty: none).
QString windowTitle(_XDisplay* display, unsigned long window);

// The named top-level windows of a process (by _NET_WM_PID), frames looked through.
QList<ClientWindow> windowsOfProcess(qint64 pid);

// The program in its own process, on a program folder of its own, with a
// status block name of its own.
class ProgramRun {
public:
    // `home` empty: a fresh temporary folder.
    explicit ProgramRun(QString home = QString());
    // Another executable (an installed copy) in the given environment, which
    // chooses its folders itself; home() is a fresh temporary folder.
    ProgramRun(QString binary, const QProcessEnvironment& env);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    QString home() const { return m_home; }
    QString path(const QString& rel) const { return m_home + '/' + rel; }
    QString statusName() const { return m_statusName; }
    // The commands of the program's command map that this run ran, in order
    // (from the log the program writes when KLAVORO_COMMAND_LOG names one).
    QStringList commandsRun() const;
    QProcess& process() { return m_process; }

    bool start(const QStringList& args = {});
    // The main window exists, titled, from the first step of start-up on, but
    // it is shown only once the settings are read.
    enum class Until { Exists, Shown };
    // Waits for a window of the process whose title contains `titlePart`.
    ClientWindow waitForWindow(const QString& titlePart, int ms = 10000,
                               Until until = Until::Exists);
    // The main window (its title starts with the product name), once shown.
    ClientWindow waitForMainWindow(int ms = 10000) {
        return waitForWindow(QStringLiteral("クラヴォロ Ver"), ms, Until::Shown);
    }
    // The window manager's close (or the client message without one).
    void requestClose(WindowId window);
    bool waitForExit(int ms = 10000);

private:
    void setUp(QProcessEnvironment env);

    QTemporaryDir m_dir;
    QString m_binary = QStringLiteral(KLAVORO_BINARY);
    QString m_home;
    QString m_statusName;
    QString m_commandLog;
    QProcess m_process;
};

} // namespace klavoro::test
