// The HTML manual of a full list: 15000 steps whose thumbnails already exist.
#include "bench/offscreenmain.h"
#include "capture/encoders.h"
#include "export/htmlmanual.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

class Quiet : public HtmlManualHost, public Dialogs {
public:
    void showProgress(const QString&, int) override {}
    void setStatus(const QString&) override {}
    void letEventsRun() override {}
    bool cancelRequested() const override { return false; }
    void openPage(const QString&) override {}
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

struct Folder {
    QTemporaryDir dir;
    QString folder = dir.path() + "/data/";
    StepList steps;

    explicit Folder(int count) {
        QDir().mkpath(folder + "Thumb");
        QImage img(320, 200, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        writeJpeg(img, folder + "first.jpg", 70);
        writeJpeg(img.scaled(240, 150), folder + "thumb.jpg", 90);
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("20261206%1").arg(i, 8, 10, QLatin1Char('0'));
            QFile::copy(folder + "first.jpg", folder + name + ".jpg");
            QFile::copy(folder + "thumb.jpg", folder + "Thumb/Thumb_" + name + ".jpg");
            steps.append(buildStepLine(
                i + 1, name,
                QStringLiteral("[ファイル](メニュー)の[名前を付けて保存...]を、クリックします。 %1")
                    .arg(i),
                "jpg", ""));
        }
    }
};

Folder& folder15000() {
    static Folder f(15000);
    return f;
}

void BM_HtmlManual15000WithThumbnails(benchmark::State& state) {
    Folder& f = folder15000();
    Quiet quiet;
    const HtmlManualPaths paths{f.folder, QStringLiteral(KLAVORO_SOURCE_DIR "/parts/js")};
    for (auto _ : state)
        if (writeHtmlManual(f.steps, conf(), paths, true, quiet, quiet) != HtmlResult::Written)
            state.SkipWithError("not written");
    state.counters["page_MB"] = QFile(f.folder + "index.htm").size() / 1e6;
}
BENCHMARK(BM_HtmlManual15000WithThumbnails)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HtmlManual15000FullSize(benchmark::State& state) {
    Folder& f = folder15000();
    Quiet quiet;
    const HtmlManualPaths paths{f.folder, QStringLiteral(KLAVORO_SOURCE_DIR "/parts/js")};
    for (auto _ : state)
        if (writeHtmlManual(f.steps, conf(), paths, false, quiet, quiet) != HtmlResult::Written)
            state.SkipWithError("not written");
}
BENCHMARK(BM_HtmlManual15000FullSize)->Unit(benchmark::kMillisecond)->Iterations(5);

// The step blocks alone (image lookup, numbers, escaping), full size and thumbnails.
void BM_HtmlBody15000(benchmark::State& state) {
    Folder& f = folder15000();
    Quiet quiet;
    QString body;
    for (auto _ : state)
        buildHtmlBody(f.steps, conf(), f.folder, state.range(0) == 1, quiet, &body);
}
BENCHMARK(BM_HtmlBody15000)->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
