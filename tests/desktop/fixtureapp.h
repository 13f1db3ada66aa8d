#pragma once

#include "platform/desktop.h"

#include <QHash>
#include <QProcess>
#include <QRect>
#include <QStringList>

#include <functional>

namespace klavoro::test {

// Runs `fn` with events flowing until it returns true or `ms` pass.
bool waitUntil(const std::function<bool()>& fn, int ms = 3000);
// Lets events run for `ms`.
void pause(int ms);

// The fixture application in its own process; reads what it prints.
class FixtureApp {
public:
    explicit FixtureApp(const QStringList& args = {});
    // Another program that reports the same way ("geometry ...", "ready ...").
    FixtureApp(const QString& program, const QStringList& args);
    ~FixtureApp();
    FixtureApp(const FixtureApp&) = delete;
    FixtureApp& operator=(const FixtureApp&) = delete;

    // Starts the process and waits for its "ready" line.
    bool start();
    WindowId window() const { return m_window; }
    qint64 pid() const { return m_process.processId(); }
    // Screen rectangle of a widget the fixture reported ("OK", "キャンセル", "名前", "メモ",
    // "patch").
    QRect geometry(const QString& name) const { return m_geometry.value(name); }
    QPoint centre(const QString& name) const { return geometry(name).center(); }
    // Waits until the fixture printed exactly this line.
    bool waitForLine(const QString& line, int ms = 3000);
    QStringList lines() const { return m_lines; }

private:
    void readOutput();

    QProcess m_process;
    QString m_program;
    QStringList m_args;
    QStringList m_lines;
    QHash<QString, QRect> m_geometry;
    WindowId m_window = 0;
};

// One fixture shared by the tests that only look at it.
FixtureApp& sharedFixture();
void stopSharedFixture();

// True when the desktop session runs a window manager.
bool withWindowManager();

} // namespace klavoro::test
