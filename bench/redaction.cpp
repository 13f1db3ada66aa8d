// Redaction per step on a real GTK window with 200 text elements: reading
// the texts over AT-SPI within the budget, and painting the boxes. Run inside
// scripts/desktop-session.
#include "bench/gtkform.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "redact/boxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace klavoro;

namespace {

// `around`: only the recording's default picture, 300 x 300 about the
// field, not the whole window.
void run(benchmark::State& state, int labels, int budgetMs, bool collection = true,
         bool around = false) {
    bench::GtkForm form(labels);
    if (!form.window) {
        state.SkipWithError("the GTK form did not start");
        return;
    }
    x11::X11Desktop desktop;
    x11::AtspiAccessibility accessibility(desktop);
    x11::AtspiScreenText texts(desktop, accessibility.isAvailable(), collection);
    x11::X11ScreenCopy screen;
    const QRect window = desktop.windowRect(form.window);
    const QRect area =
        around ? QRect(form.mail.center() - QPoint(150, 150), QSize(300, 300)).intersected(window)
               : window;
    const RedactionRules rules(true, redactkind::All, QString());
    int boxes = 0, unread = 0;
    QImage last;
    std::vector<double> ms;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        QImage image = screen.copy(area);
        const ScreenTextScan scan = texts.textsIn(form.mail.center(), area, rules, budgetMs);
        boxes = paintRedactionBoxes(image, area.topLeft(), scan.texts, rules, Qt::black);
        unread = scan.unread + (scan.timedOut ? 1 : 0);
        ms.push_back(clock.nsecsElapsed() / 1e6);
        benchmark::DoNotOptimize(image);
        last = image;
    }
    // KLAVORO_BENCH_SAVE=<file.png> keeps the last redacted picture, to look at.
    if (const QString save = qEnvironmentVariable("KLAVORO_BENCH_SAVE"); !save.isEmpty()) {
        screen.copy(area).save(save + QStringLiteral(".plain.png"));
        last.save(save);
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["max_ms"] = ms.back();
    }
    state.counters["boxes"] = boxes;
    state.counters["unread"] = unread;
}

// The form alone (about 15 elements), read whole.
void BM_RedactForm(benchmark::State& state) {
    run(state, 0, 10000);
}
// The whole window read, however long it takes.
void BM_RedactWindow200(benchmark::State& state) {
    run(state, 200, 10000);
}
// The budget recording uses: what is left unread is counted.
void BM_RedactWindow200Budget150(benchmark::State& state) {
    run(state, 200, 150);
}
// The same window walked level by level, as for a toolkit without the
// Collection query.
void BM_RedactWindow200Walk(benchmark::State& state) {
    run(state, 200, 10000, false);
}
// Walked, for the picture around the field only: what lies outside it is
// neither read nor, unless it may own a popup, walked into.
void BM_RedactWindow200WalkAround(benchmark::State& state) {
    run(state, 200, 10000, false, true);
}

} // namespace

BENCHMARK(BM_RedactForm)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200Budget150)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200Walk)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200WalkAround)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
