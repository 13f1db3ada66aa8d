#include "tests/desktop/programrun.h"

#include <cstdio>

#include "platform/x11/x11desktop.h"
#include "tests/desktop/fixtureapp.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace klavoro::test {
namespace {

long cardinal(Display* d, Window w, Atom property, Atom type, long fallback) {
    Atom actual;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    long value = fallback;
    if (XGetWindowProperty(d, w, property, 0, 1, False, type, &actual, &format, &count, &after,
                           &data) == Success &&
        data && count > 0 && format == 32)
        value = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return value;
}


bool hasState(Display* d, Window w, Atom state) {
    Atom actual;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                           &actual, &format, &count, &after, &data) == Success &&
        data) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i)
            found = found || atoms[i] == state;
    }
    if (data) XFree(data);
    return found;
}

void collect(Display* d, Window w, qint64 pid, int depth, QList<ClientWindow>& out) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    if (cardinal(d, w, pidAtom, XA_CARDINAL, 0) == pid) {
        ClientWindow c;
        c.id = w;
        c.title = windowTitle(d, w);
        XWindowAttributes attrs;
        c.viewable = XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable;
        const Atom wmState = XInternAtom(d, "WM_STATE", False);
        bool iconic = cardinal(d, w, wmState, wmState, 0) == IconicState ||
                      hasState(d, w, XInternAtom(d, "_NET_WM_STATE_HIDDEN", False));
        if (XWMHints* hints = XGetWMHints(d, w)) {
            // Without a window manager nobody iconifies: the request is all there is.
            if ((hints->flags & StateHint) && hints->initial_state == IconicState &&
                cardinal(d, w, wmState, wmState, -1) == -1)
                iconic = true;
            XFree(hints);
        }
        c.iconic = iconic;
        if (!c.title.isEmpty()) out << c;
    }
    if (depth == 0) return;
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i)
            collect(d, children[i], pid, depth - 1, out);
        if (children) XFree(children);
    }
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

QString windowTitle(_XDisplay* d, unsigned long w) {
    Atom actual;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    QString t;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &actual, &format, &count, &after,
                           &data) == Success &&
        data)
        t = QString::fromUtf8(reinterpret_cast<const char*>(data), int(count));
    if (data) XFree(data);
    return t;
}

QList<ClientWindow> windowsOfProcess(qint64 pid) {
    QList<ClientWindow> out;
    Display* d = XOpenDisplay(nullptr);
    if (!d || pid <= 0) return out;
    auto* old = XSetErrorHandler(ignoreErrors); // windows come and go meanwhile
    collect(d, DefaultRootWindow(d), pid, 2, out);
    XSync(d, False);
    XSetErrorHandler(old);
    XCloseDisplay(d);
    return out;
}

ProgramRun::ProgramRun(QString home) : m_home(std::move(home)) {
    if (m_home.isEmpty()) m_home = m_dir.path();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KLAVORO_HOME"), m_home);
    setUp(env);
}

ProgramRun::ProgramRun(QString binary, const QProcessEnvironment& env)
    : m_binary(std::move(binary)), m_home(m_dir.path()) {
    setUp(env);
}

void ProgramRun::setUp(QProcessEnvironment env) {
    // For a look at a failed run's folders afterwards.
    if (qEnvironmentVariableIsSet("KLAVORO_TEST_KEEP")) {
        m_dir.setAutoRemove(false);
        std::fprintf(stderr, "[ keep     ] %s\n", qPrintable(m_dir.path()));
    }
    m_statusName = QStringLiteral("GetImage-test-%1").arg(QRandomGenerator::global()->generate());
    env.insert(QStringLiteral("KLAVORO_STATUS_BLOCK"), m_statusName);
    // Beside the program folder, so that a test of what a start leaves in
    // its folders never sees it.
    m_commandLog = m_dir.path() + QStringLiteral(".commands");
    env.insert(QStringLiteral("KLAVORO_COMMAND_LOG"), m_commandLog);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
}

QStringList ProgramRun::commandsRun() const {
    QStringList out;
    QFile log(m_commandLog);
    if (!log.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : log.readAll().split('\n'))
        if (line.startsWith("run ")) out << QString::fromUtf8(line.mid(4));
    return out;
}

ProgramRun::~ProgramRun() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    // The program tests gather every run's commands to tell what no test ran.
    // Each line goes there with the name of the test that made it.
    const QString ledger = qEnvironmentVariable("KLAVORO_COMMAND_LEDGER");
    QFile log(m_commandLog);
    if (!ledger.isEmpty() && log.open(QIODevice::ReadOnly)) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const QByteArray name = test ? QByteArray(test->test_suite_name()) + '.' + test->name()
                                     : QByteArray("-");
        QByteArray lines;
        for (const QByteArray& line : log.readAll().split('\n'))
            if (!line.isEmpty()) lines += name + ' ' + line + '\n';
        QFile all(ledger);
        if (all.open(QIODevice::WriteOnly | QIODevice::Append)) all.write(lines);
    }
    log.remove();
}

bool ProgramRun::start(const QStringList& args) {
    m_process.start(m_binary, args);
    return m_process.waitForStarted(5000);
}

ClientWindow ProgramRun::waitForWindow(const QString& titlePart, int ms, Until until) {
    ClientWindow found;
    waitUntil(
        [&] {
            for (const ClientWindow& w : windowsOfProcess(m_process.processId()))
                if (w.title.contains(titlePart) &&
                    (until == Until::Exists || w.viewable || w.iconic)) {
                    found = w;
                    return true;
                }
            if (m_process.state() == QProcess::NotRunning) return true;
            pause(25);
            return false;
        },
        ms);
    return found;
}

void ProgramRun::requestClose(WindowId window) {
    x11::X11Desktop desktop;
    desktop.requestClose(window);
}

bool ProgramRun::waitForExit(int ms) {
    return waitUntil([&] { return m_process.state() == QProcess::NotRunning; }, ms);
}

} // namespace klavoro::test
