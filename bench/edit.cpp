// Editing a 15000-step list: deleting 5000 steps with their files, moving a
// step (with the save), and building a list from 15000 image files. The
// folders are made under TMPDIR: point it at a tmpfs to time the program
// rather than the disk.
#include "bench/offscreenmain.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "edit/listfromimages.h"
#include "store/notices.h"
#include "store/oplist.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "edit/stepdeletion.h"
#include "edit/stepedithost.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepmove.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include <unistd.h>

using namespace klavoro;

namespace {

constexpr int kSteps = 15000;

class OkDialogs : public Dialogs {
public:
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return true; }
    bool askOkCancel(const QString&, const QString&) override { return true; }
};

class Host : public OpListHost, public StepEditHost {
public:
    explicit Host(StepList& steps) : m_steps(steps) {}
    QString currentStepText() const override { return m_no; }
    void setCurrentStepText(const QString& t) override { m_no = t; }
    void selectStep(int n) override { m_steps.setSelectedStep(n); }
    void reloadList() override {
        m_steps.clear();
        if (ops) ops->load();
    }
    OperationList* ops = nullptr;

private:
    StepList& m_steps;
    QString m_no = QString::number(kSteps);
};

QString nameOf(int i) {
    return QStringLiteral("2026120609%1").arg(i, 6, 10, QLatin1Char('0'));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

struct Env {
    QTemporaryDir dir;
    OkDialogs dialogs;
    SilentNotices notices;
    StepList steps;
    Host host{steps};
    OperationList ops{steps, host, dialogs};
    Env() {
        qputenv(kProgramFolderEnv, dir.path().toLocal8Bit());
        resetProgramFolder();
        conf().noConfirm = 1;
        host.ops = &ops;
    }
    // 15000 steps, each with an image, its NO_RECT copy and its thumbnail.
    // Written out before the clock runs, so that the disk is not still busy
    // with them while the deletion is timed.
    void fill(bool files) {
        const QString folder = captureFolder();
        steps.clear();
        QStringList lines;
        const QByteArray image(4000, 'i'), small(1000, 't');
        QDir().mkpath(folder + "NO_RECT");
        QDir().mkpath(folder + "Thumb");
        for (int i = 1; i <= kSteps; ++i) {
            lines << buildStepLine(i, nameOf(i), QStringLiteral("[OK](ボタン)を、クリックします。"),
                                   QStringLiteral("jpg"), i % 3 == 0 ? kCheckMark : QString());
            if (!files) continue;
            writeFile(folder + nameOf(i) + ".jpg", image);
            writeFile(folder + "NO_RECT/" + nameOf(i) + ".jpg", image);
            writeFile(folder + "Thumb/Thumb_" + nameOf(i) + ".jpg", small);
        }
        steps.appendLines(lines);
        host.setCurrentStepText(QString::number(kSteps));
        ::sync();
    }
};

// Steps 5001..10000 as one range.
void BM_DeleteRange5000Of15000(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto e = std::make_unique<Env>();
        e->fill(true);
        StepDeletion del(e->steps, e->ops, e->host, e->dialogs, e->notices);
        state.ResumeTiming();
        const auto outcome = del.deleteRange(5001, 10000);
        state.PauseTiming();
        if (outcome.removed != 5000 || e->steps.count() != 10000)
            state.SkipWithError("wrong number deleted");
        e.reset(); // removing the other 10000 steps' files is not timed
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteRange5000Of15000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every third step checked: 5000 steps spread over the whole list.
void BM_DeleteChecked5000Of15000(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto e = std::make_unique<Env>();
        e->fill(true);
        StepDeletion del(e->steps, e->ops, e->host, e->dialogs, e->notices);
        state.ResumeTiming();
        del.deleteChecked();
        state.PauseTiming();
        if (e->steps.count() != 10000) state.SkipWithError("wrong number deleted");
        e.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteChecked5000Of15000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One move and the save of the whole list that follows it.
void BM_MoveStepIn15000(benchmark::State& state) {
    Env e;
    e.fill(false);
    e.host.selectStep(7500);
    bool down = true;
    for (auto _ : state) {
        if (moveSelectedStep(e.steps, e.ops, e.host,
                             down ? MoveTarget::Next : MoveTarget::Previous) == 0)
            state.SkipWithError("not moved");
        down = !down;
    }
}
BENCHMARK(BM_MoveStepIn15000)->Unit(benchmark::kMillisecond);

// The whole command: listing, writing OpList.txt, emptying and loading the list.
void BM_BuildListFrom15000Images(benchmark::State& state) {
    Env e;
    const QString folder = captureFolder();
    for (int i = 1; i <= kSteps; ++i)
        writeFile(folder + nameOf(i) + (i % 2 ? ".jpg" : ".png"), "x");
    for (auto _ : state) {
        loadImageFiles(e.host, e.dialogs, e.notices);
        if (e.steps.count() != kSteps) state.SkipWithError("wrong count");
        state.PauseTiming();
        for (const QString& bak : QDir(folder).entryList({"*.bak"}))
            QFile::remove(folder + bak);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildListFrom15000Images)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
