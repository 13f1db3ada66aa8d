// Redaction per step on a real GTK window with 200 text elements: reading
// the texts over AT-SPI within the budget, and painting the boxes. Run inside
// scripts/desktop-session.
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "redact/boxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

struct Form {
    explicit Form(int labels) {
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(KLAVORO_SOURCE_DIR "/tests/fixture/gtk_privateform.py"),
                       QStringLiteral("20,20"), QString::number(labels)});
        QElapsedTimer clock;
        clock.start();
        // A loaded machine may take seconds before GTK says anything.
        while (window == 0 && clock.elapsed() < 20000) {
            process.waitForReadyRead(500);
            while (process.canReadLine()) {
                const QStringList parts =
                    QString::fromUtf8(process.readLine()).trimmed().split(u' ');
                if (parts.size() == 6 && parts[0] == QLatin1String("geometry") &&
                    parts[1] == QLatin1String("mail"))
                    mail = QPoint(parts[2].toInt() + 5, parts[3].toInt() + 5);
                else if (parts.size() == 2 && parts[0] == QLatin1String("ready"))
                    window = parts[1].toULongLong();
            }
        }
        QThread::msleep(500);
    }
    ~Form() {
        process.kill();
        process.waitForFinished(3000);
    }
    QProcess process;
    WindowId window = 0;
    QPoint mail;
};

void run(benchmark::State& state, int labels, int budgetMs) {
    Form form(labels);
    if (!form.window) {
        state.SkipWithError("the GTK form did not start");
        return;
    }
    x11::X11Desktop desktop;
    x11::AtspiAccessibility accessibility(desktop);
    x11::AtspiScreenText texts(desktop, accessibility.isAvailable());
    x11::X11ScreenCopy screen;
    const QRect area = desktop.windowRect(form.window);
    const RedactionRules rules(true, redactkind::All, QString());
    int boxes = 0, unread = 0;
    QImage last;
    for (auto _ : state) {
        QImage image = screen.copy(area);
        const ScreenTextScan scan = texts.textsIn(form.mail, area, rules, budgetMs);
        boxes = paintRedactionBoxes(image, area.topLeft(), scan.texts, rules, Qt::black);
        unread = scan.unread;
        benchmark::DoNotOptimize(image);
        last = image;
    }
    // KLAVORO_BENCH_SAVE=<file.png> keeps the last redacted picture, to look at.
    if (const QString save = qEnvironmentVariable("KLAVORO_BENCH_SAVE"); !save.isEmpty()) {
        screen.copy(area).save(save + QStringLiteral(".plain.png"));
        last.save(save);
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

} // namespace

BENCHMARK(BM_RedactForm)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RedactWindow200Budget150)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
