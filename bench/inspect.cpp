// Element inspection against a real application over AT-SPI. Run inside
// scripts/desktop-session: bench_inspect needs the fixture application built
// beside the tests (build/tests/klavoro_fixture).
#include "describe/inspector.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11syntheticinput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QThread>

#include <signal.h>

#include <algorithm>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

// The fixture application, with the rectangles it reports.
class Fixture {
public:
    explicit Fixture(const QStringList& args) {
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/../tests/klavoro_fixture"),
                        args);
        QElapsedTimer clock;
        clock.start();
        while (m_window == 0 && clock.elapsed() < 15000 && m_process.waitForReadyRead(1000)) {
            while (m_process.canReadLine()) {
                const QStringList parts =
                    QString::fromUtf8(m_process.readLine()).trimmed().split(u' ');
                if (parts.size() == 6 && parts[0] == QLatin1String("geometry"))
                    m_rects.insert(parts[1], QRect(parts[2].toInt(), parts[3].toInt(),
                                                   parts[4].toInt(), parts[5].toInt()));
                else if (parts.size() == 2 && parts[0] == QLatin1String("ready"))
                    m_window = parts[1].toULongLong();
            }
        }
        QThread::msleep(500); // let it register with the accessibility bus
    }
    ~Fixture() {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool ok() const { return m_window != 0; }
    WindowId window() const { return m_window; }
    qint64 pid() const { return m_process.processId(); }
    QPoint centre(const QString& name) const { return m_rects.value(name).center(); }

private:
    QProcess m_process;
    QHash<QString, QRect> m_rects;
    WindowId m_window = 0;
};

struct Env {
    x11::X11Desktop desktop;
    x11::AtspiAccessibility service{desktop};
    ElementInspector inspector{service, desktop};
};

Env& env() {
    static Env e;
    return e;
}

// Runs `inspect` once per iteration and reports the median and the 99th
// percentile of single inspections.
template <typename Inspect> void measure(benchmark::State& state, Inspect inspect) {
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        inspect();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["max_ms"] = ms.back();
}

void BM_InspectPointOnButton(benchmark::State& state) {
    Fixture fixture({});
    if (!fixture.ok() || !env().service.isAvailable()) {
        state.SkipWithError("no fixture or no accessibility bus");
        return;
    }
    const QPoint ok = fixture.centre(QStringLiteral("OK"));
    ElementInfo info;
    measure(state, [&] { env().inspector.inspectPoint(info, ok, 1.0); });
    if (info.name != QLatin1String("OK"))
        state.SkipWithError("the inspection did not find the button");
}
BENCHMARK(BM_InspectPointOnButton)->Iterations(500)->Unit(benchmark::kMillisecond);

void BM_InspectPointInOpenMenu(benchmark::State& state) {
    Fixture fixture({});
    if (!fixture.ok() || !env().service.isAvailable()) {
        state.SkipWithError("no fixture or no accessibility bus");
        return;
    }
    const AccessibleRef window = env().service.objectOfWindow(fixture.window());
    if (!window) {
        state.SkipWithError("no window element");
        return;
    }
    const QRect client = window->location();
    const QPoint title(client.left() + 20, client.top() + 10);
    x11::X11SyntheticInput input;
    input.moveTo(title);
    input.sync();
    QThread::msleep(150);
    input.pressLeftButton();
    input.sync();
    QThread::msleep(100);
    input.releaseLeftButton();
    input.sync();
    QThread::msleep(400);
    const QPoint item(title.x() + 10, client.top() + 35);
    ElementInfo info;
    measure(state, [&] { env().inspector.inspectPoint(info, item, 1.0); });
    if (info.roleNumber != QLatin1String("12"))
        state.SkipWithError("the inspection did not find the menu item");
}
BENCHMARK(BM_InspectPointInOpenMenu)->Iterations(200)->Unit(benchmark::kMillisecond);

// One step's worth of questions to an application that does not answer:
// the tracker's element under the pointer, the inspection for the sentence
// and the focused control afterwards. Each iteration starts as a fresh
// service, so nothing is remembered from the iteration before.
void BM_StepOnStoppedApplication(benchmark::State& state) {
    Fixture fixture({QStringLiteral("--title"), QStringLiteral("Stopped"), QStringLiteral("--pos"),
                     QStringLiteral("700,300")});
    if (!fixture.ok() || !env().service.isAvailable()) {
        state.SkipWithError("no fixture or no accessibility bus");
        return;
    }
    const QPoint ok = fixture.centre(QStringLiteral("OK"));
    env().desktop.setForegroundWindow(fixture.window());
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(fixture.pid()), SIGSTOP);
    ElementInfo info;
    bool answered = false;
    measure(state, [&] {
        x11::AtspiAccessibility service(env().desktop);
        ElementInspector inspector(service, env().desktop);
        answered |= service.objectAtPoint(ok) != nullptr;
        inspector.inspectPoint(info, ok, 1.0);
        answered |= service.focusedObject() != nullptr;
    });
    ::kill(static_cast<pid_t>(fixture.pid()), SIGCONT);
    if (answered || !info.name.isEmpty()) state.SkipWithError("a stopped application answered");
}
BENCHMARK(BM_StepOnStoppedApplication)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
