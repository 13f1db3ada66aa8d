// Searching and replacing in a 15000-step list with Japanese sentences: one
// click of 次を検索 walks the whole list when the text is not found.
#include "edit/stepsearch.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

class Host : public StepSearchHost {
public:
    void selectLine(int) override {}
    bool saveList() override { return true; }
};

const QStringList kSentences = {
    QStringLiteral("[OK](ボタン)を、クリックします。"),
    QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"),
    QStringLiteral("[ユーザー名](編集可能テキスト)に「山田太郎」を入力します。"),
    QStringLiteral("[表示設定](タブ)の[詳細オプション](チェックボックス)を、右クリックします。"),
    QStringLiteral("Ctrl+S キーを押します。"),
};

void fill(StepList& list) {
    for (int n = 1; n <= 15000; ++n)
        list.append(buildStepLine(n, QStringLiteral("2026120809%1").arg(n, 6, 10, QChar('0')),
                                  kSentences[n % kSentences.size()], "jpg", ""));
}

void BM_FindNextNotFound(benchmark::State& state) {
    StepList list;
    fill(list);
    Host host;
    StepSearch search(list, host);
    const bool strict = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(search.findNext(QStringLiteral("存在しない文言"), strict));
}
BENCHMARK(BM_FindNextNotFound)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        StepList list;
        fill(list);
        Host host;
        StepSearch search(list, host);
        state.ResumeTiming();
        benchmark::DoNotOptimize(search.replaceAll(QStringLiteral("ok"), "はい", false));
    }
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
