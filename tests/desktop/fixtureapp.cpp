#include "tests/desktop/fixtureapp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace klavoro::test {

bool waitUntil(const std::function<bool()>& fn, int ms) {
    QDeadlineTimer deadline(ms);
    while (!fn()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void pause(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

FixtureApp::FixtureApp(const QStringList& args)
    : FixtureApp(QStringLiteral(KLAVORO_FIXTURE), args) {}

FixtureApp::FixtureApp(const QString& program, const QStringList& args)
    : m_program(program), m_args(args) {
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
}

FixtureApp::~FixtureApp() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool FixtureApp::start() {
    m_process.start(m_program, m_args);
    if (!m_process.waitForStarted(5000)) return false;
    return waitUntil([this] { return m_window != 0; }, 15000);
}

void FixtureApp::readOutput() {
    while (m_process.canReadLine()) {
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        m_lines.append(line);
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() == 6 && parts[0] == QLatin1String("geometry"))
            m_geometry.insert(parts[1], QRect(parts[2].toInt(), parts[3].toInt(), parts[4].toInt(),
                                              parts[5].toInt()));
        else if (parts.size() == 2 && parts[0] == QLatin1String("ready"))
            m_window = parts[1].toULongLong();
    }
}

bool FixtureApp::waitForLine(const QString& line, int ms) {
    return waitUntil([&] { return m_lines.contains(line); }, ms);
}

namespace {
FixtureApp* g_shared = nullptr;
}

FixtureApp& sharedFixture() {
    if (!g_shared) {
        g_shared = new FixtureApp;
        g_shared->start();
    }
    return *g_shared;
}

void stopSharedFixture() {
    delete g_shared;
    g_shared = nullptr;
}

bool withWindowManager() {
    return qEnvironmentVariableIsEmpty("KLAVORO_NO_WM");
}

} // namespace klavoro::test
