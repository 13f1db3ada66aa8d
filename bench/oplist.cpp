// Load and write of a 15000-step OpList.txt with realistic Japanese sentences.
#include "bench/offscreenmain.h"
#include "store/oplist.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/programfolder.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

class QuietDialogs : public Dialogs {
public:
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

class Host : public OpListHost {
public:
    QString currentStepText() const override { return QStringLiteral("15000"); }
};

const QStringList kSentences = {
    QStringLiteral("[OK](ボタン)を、クリックします。"),
    QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"),
    QStringLiteral("[ユーザー名](編集可能テキスト)に「山田太郎」を入力します。"),
    QStringLiteral("[表示設定](タブ)の[詳細オプション](チェックボックス)を、右クリックします。"),
    QStringLiteral("Ctrl+S キーを押します。"),
};

struct Env {
    QTemporaryDir dir;
    QuietDialogs dialogs;
    Host host;
    Env() {
        qputenv(kProgramFolderEnv, dir.path().toLocal8Bit());
        resetProgramFolder();
        StepList list;
        OperationList ops(list, host, dialogs);
        for (int i = 1; i <= 15000; ++i)
            ops.addStep(i, QStringLiteral("2026120609%1").arg(i, 6, 10, QLatin1Char('0')),
                        kSentences[i % kSentences.size()], QStringLiteral("jpg"),
                        i % 7 ? QString() : kCheckMark, false, true);
        ops.save();
    }
};

Env& env() {
    static Env e;
    return e;
}

void BM_Load15000(benchmark::State& state) {
    Env& e = env();
    for (auto _ : state) {
        StepList list;
        OperationList ops(list, e.host, e.dialogs);
        if (!ops.load() || list.count() != 15000) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_Load15000)->Unit(benchmark::kMillisecond);

void BM_Write15000(benchmark::State& state) {
    Env& e = env();
    StepList list;
    OperationList ops(list, e.host, e.dialogs);
    ops.load();
    for (auto _ : state)
        if (!ops.save()) state.SkipWithError("write failed");
}
BENCHMARK(BM_Write15000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
