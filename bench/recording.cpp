// Recording speed on the fixture: from the moment a press reaches the
// program to its step in the list with the image file written, and a burst
// of 20 presses a second for 10 s. Run inside scripts/desktop-session:
//   scripts/desktop-session build/bench/bench_recording
// It needs the fixture built beside the tests (build/tests/klavoro_fixture).
#include "app/mainwindowgraph.h"
#include "bench/gtkform.h"
#include "capture/capturearea.h"
#include "platform/services.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/x11cursor.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11hotkeys.h"
#include "platform/x11/x11inputhook.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "record/notificationarea.h"
#include "record/presssnapshot.h"
#include "record/runmode.h"
#include "record/waitmarker.h"
#include "store/capturefolder.h"
#include "store/notices.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"
#include "ui/qtdialogs.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>

using namespace klavoro;

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void pump(int ms) {
    QDeadlineTimer d(ms);
    while (!d.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

template <typename F> bool pumpUntil(F done, int ms) {
    QDeadlineTimer d(ms);
    while (!done()) {
        if (d.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

// The fixture with the colour patch that changes at every release.
class Fixture {
public:
    Fixture() {
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/../tests/klavoro_fixture"),
            {QStringLiteral("--cycle-patch"), QStringLiteral("--pos"), QStringLiteral("40,40")});
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
        pump(500); // let it register with the accessibility bus
    }
    ~Fixture() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool ok() const { return m_window != 0; }
    WindowId window() const { return m_window; }
    QRect patch() const { return m_rects.value(QStringLiteral("patch")); }

private:
    QProcess m_process;
    QHash<QString, QRect> m_rects;
    WindowId m_window = 0;
};

// The input hook, noting when each press reaches the program.
class TimedHook : public InputHook, public HookReceiver {
public:
    bool SetHook(HookReceiver* receiver, int delay) override {
        m_receiver = receiver;
        return m_hook.SetHook(this, delay);
    }
    void ResetHook() override { m_hook.ResetHook(); }
    void setPressArea(const PressArea& area) override { m_hook.setPressArea(area); }
    bool isHooked() const override { return m_hook.isHooked(); }
    QString errorText() const override { return m_hook.errorText(); }
    void hookMessage(const InputMessage& m) override {
        if (m.message == kHookMouse && (m.wParam == kLeftDown || m.wParam == kLeftDblClk)) {
            delivered.push_back(Clock::now());
            if (m.snapshot && m.snapshot->hold == PressSnapshot::Hold::Held)
                heldMs.push_back(m.snapshot->holdMs);
        }
        m_receiver->hookMessage(m);
    }
    WindowId hookWindow() const override { return m_receiver ? m_receiver->hookWindow() : 0; }
    std::deque<Clock::time_point> delivered;
    // How long each held press was kept from its application.
    std::vector<double> heldMs;

private:
    x11::X11InputHook m_hook;
    HookReceiver* m_receiver = nullptr;
};

struct Session {
    // Redaction (on by default) reads the texts of the window pressed in.
    explicit Session(bool redacting = false) {
        qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
        resetProgramFolder();
        conf() = Settings();
        conf().autoRestart = 0;
        conf().redact = redacting ? 1 : 0;
        platform.screenText = &screenText;
        platform.desktop = &desktop;
        platform.keyState = &keys;
        platform.inputHook = &hook;
        platform.hotKeys = &hotKeys;
        platform.screenCopy = &screen;
        platform.cursor = &cursor;
        platform.syntheticInput = &synthetic;
        platform.accessibility = &accessibility;
        graph = std::make_unique<MainWindowGraph>(
            MainWindowGraph::Services{platform, dialogs, notices, tray});
        window = &graph->window();
        window->move(700, 600);
        window->show();
        pump(300);
        QObject::connect(&window->steps(), &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) {
                             for (int row = first; row <= last; ++row) {
                                 committed.push_back(Clock::now());
                                 const int n = row + 1;
                                 const QString path =
                                     captureFolder() + window->steps().field(n, FieldImageName) +
                                     '.' + window->steps().field(n, FieldExtension);
                                 if (!QFile::exists(path)) ++listedBeforeWritten;
                             }
                         });
    }
    ~Session() {
        runMode().set(kRunIdle);
        pump(100);
        window->close();
        graph.reset();
        qunsetenv(kProgramFolderEnv);
        resetProgramFolder();
    }
    bool start() {
        window->runCommand(QStringLiteral("cmdGo"));
        return pumpUntil([] { return runMode().is(kRunGo) && waitMarkerExists(); }, 5000) &&
               (pump(200), true);
    }

    QTemporaryDir home;
    x11::X11Desktop desktop;
    x11::X11KeyState keys;
    TimedHook hook;
    x11::X11HotKeys hotKeys;
    x11::X11ScreenCopy screen;
    x11::X11Cursor cursor;
    x11::X11SyntheticInput synthetic;
    x11::AtspiAccessibility accessibility{desktop};
    x11::AtspiScreenText screenText{desktop, accessibility.isAvailable()};
    PlatformServices platform;
    QtDialogs dialogs;
    SilentNotices notices;
    NoNotificationArea tray;
    std::unique_ptr<MainWindowGraph> graph;
    frmKlavoro* window = nullptr;
    std::vector<Clock::time_point> committed;
    int listedBeforeWritten = 0;
};

// Press positions inside the patch, never two alike in a row (no double clicks).
QPoint pressPoint(const QRect& patch, int i) {
    return patch.topLeft() + QPoint(20 + (i % 18) * 5, 15 + (i % 2) * 25);
}

void percentiles(benchmark::State& state, std::vector<double> ms, const std::string& prefix = {}) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return;
    state.counters[prefix + "median_ms"] = ms[ms.size() / 2];
    state.counters[prefix + "p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters[prefix + "max_ms"] = ms.back();
}

template <typename PointAt> void pressToStep(benchmark::State& state, Session& s, PointAt pointAt) {
    if (!s.start()) {
        state.SkipWithError("recording did not start");
        return;
    }
    x11::X11SyntheticInput hand;
    std::vector<double> ms;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        hand.moveTo(pointAt(i++));
        pump(40);
        const size_t before = s.committed.size();
        state.ResumeTiming();
        hand.pressLeftButton();
        if (!pumpUntil([&] { return s.committed.size() > before; }, 3000)) {
            state.SkipWithError("a press gave no step");
            break;
        }
        state.PauseTiming();
        ms.push_back(msBetween(s.hook.delivered.back(), s.committed.back()));
        hand.releaseLeftButton();
        pump(40);
        state.ResumeTiming();
    }
    percentiles(state, ms);
    state.counters["listed_before_written"] = s.listedBeforeWritten;
    state.counters["held_presses"] = double(s.hook.heldMs.size());
    percentiles(state, s.hook.heldMs, "hold_");
}

void BM_PressToStepWithImageWritten(benchmark::State& state) {
    Fixture fixture;
    if (!fixture.ok()) {
        state.SkipWithError("no fixture");
        return;
    }
    Session s;
    pressToStep(state, s, [&](int i) { return pressPoint(fixture.patch(), i); });
}

// With redaction on, pressing a label of the GTK form with personal data;
// state.range(0) more labels crowd the window.
void BM_PressToStepRedacting(benchmark::State& state) {
    bench::GtkForm form(int(state.range(0)));
    if (!form.window) {
        state.SkipWithError("the GTK form did not start");
        return;
    }
    Session s(true);
    pressToStep(state, s, [&](int i) {
        return form.mail.topLeft() + QPoint(10 + (i % 10) * 6, form.mail.height() / 2);
    });
}
BENCHMARK(BM_PressToStepWithImageWritten)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressToStepRedacting)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

QColor patchColour(int n) {
    return QColor::fromHsv((n * 47) % 360, 255, 255);
}

int hueDistance(int a, int b) {
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

// 20 presses a second for 10 s, from a thread of its own as a user's hand
// would be; then every step is checked: there, in order, and showing the
// patch in the colour it had at its own press.
void BM_BurstOfPresses(benchmark::State& state) {
    Fixture fixture;
    if (!fixture.ok()) {
        state.SkipWithError("no fixture");
        return;
    }
    constexpr int kPresses = 200;
    int steps = 0, outOfOrder = 0, wrongColour = 0;
    double lastCommitMs = 0;
    std::vector<double> ms;
    for (auto _ : state) {
        Session s;
        if (!s.start()) {
            state.SkipWithError("recording did not start");
            return;
        }
        const QRect patch = fixture.patch();
        std::atomic<bool> done{false};
        std::thread hand([&] {
            x11::X11SyntheticInput input;
            auto next = Clock::now();
            for (int i = 0; i < kPresses; ++i) {
                input.moveTo(pressPoint(patch, i));
                input.pressLeftButton();
                input.sync();
                std::this_thread::sleep_until(next + std::chrono::milliseconds(15));
                input.releaseLeftButton();
                input.sync();
                next += std::chrono::milliseconds(50);
                std::this_thread::sleep_until(next);
            }
            done = true;
        });
        pumpUntil([&] { return done.load(); }, 20000);
        const auto lastPress = Clock::now();
        pumpUntil([&] { return s.window->steps().count() >= kPresses; }, 5000);
        hand.join();
        steps = s.window->steps().count();
        if (!s.committed.empty()) lastCommitMs = msBetween(lastPress, s.committed.back());
        for (size_t k = 0; k < s.committed.size() && k < s.hook.delivered.size(); ++k)
            ms.push_back(msBetween(s.hook.delivered[k], s.committed[k]));
        QString previous;
        for (int n = 1; n <= steps; ++n) {
            const QString name = s.window->steps().field(n, FieldImageName);
            if (s.window->steps().field(n, FieldCreation).toInt() != n || name <= previous)
                ++outOfOrder;
            previous = name;
            // The patch's corner, far from the pointer drawn at the press.
            const QPoint p = pressPoint(patch, n - 1);
            const ScreenRect area =
                aroundArea(p, s.desktop.screenSize(), 1.0, -150, -100, 150, 200);
            const QImage image(captureFolder() + name + QStringLiteral(".jpg"));
            const QColor got =
                image.pixelColor(patch.left() + 6 - area.left, patch.top() + 6 - area.top);
            // At the press the patch still has the colour of the releases before it.
            if (image.isNull() || hueDistance(got.hue(), patchColour(n - 1).hue()) > 10) {
                ++wrongColour;
                if (qEnvironmentVariableIsSet("KLAVORO_BENCH_VERBOSE"))
                    std::fprintf(stderr, "step %d: hue %d, expected %d (next %d)\n", n, got.hue(),
                                 patchColour(n - 1).hue(), patchColour(n).hue());
            }
        }
        state.counters["listed_before_written"] = s.listedBeforeWritten;
    }
    state.counters["steps"] = steps;
    state.counters["lost"] = kPresses - steps;
    state.counters["out_of_order"] = outOfOrder;
    state.counters["wrong_colour"] = wrongColour;
    state.counters["drained_ms_after_last"] = lastCommitMs;
    percentiles(state, ms);
}
BENCHMARK(BM_BurstOfPresses)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    XInitThreads(); // the hand's thread has a connection of its own
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
