// The rich-text and Word exports of 1000 steps with their pictures: the build
// of the rich text (and its layout in the window), its RTF, and the .docx.
#include "bench/offscreenmain.h"
#include "export/docxwriter.h"
#include "export/richtextbuild.h"
#include "export/rtfwriter.h"
#include "export/stepdocument.h"
#include "store/settings.h"
#include "tests/unit/documentfolder.h"

#include <QAbstractTextDocumentLayout>

#include <benchmark/benchmark.h>

using namespace klavoro;

namespace {

const QStringList kSentences = {
    QStringLiteral("[OK](ボタン)を、クリックします。"),
    QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"),
    QStringLiteral("[ユーザー名](編集可能テキスト)に「山田太郎」を入力します。"),
    QStringLiteral("[表示設定](タブ)の[詳細オプション](チェックボックス)を、右クリックします。"),
};

// 1000 steps, each with a 300 x 300 JPEG as the pointer-area capture makes
// (every tenth a PNG), made once.
test::DocumentFolder& folder() {
    static test::DocumentFolder* f = [] {
        auto* made = new test::DocumentFolder;
        for (int i = 0; i < 1000; ++i)
            made->addStep(kSentences[i % kSentences.size()], i % 10 == 0 ? "png" : "jpg",
                          QSize(300, 300), QColor::fromHsv(i % 360, 120, 200));
        return made;
    }();
    return *f;
}

void BM_RichTextBuild(benchmark::State& state) {
    auto& f = folder();
    for (auto _ : state) {
        StepDocument document;
        buildRichText(document, f, conf());
        benchmark::DoNotOptimize(document.blockCount());
    }
}
BENCHMARK(BM_RichTextBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window does before it can show the document: build and lay out.
void BM_RichTextBuildAndLayout(benchmark::State& state) {
    auto& f = folder();
    for (auto _ : state) {
        StepDocument document;
        buildRichText(document, f, conf());
        document.setTextWidth(780);
        benchmark::DoNotOptimize(document.documentLayout()->documentSize());
    }
}
BENCHMARK(BM_RichTextBuildAndLayout)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RtfOf1000Steps(benchmark::State& state) {
    auto& f = folder();
    StepDocument document;
    buildRichText(document, f, conf());
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray rtf = rtfFromDocument(document);
        bytes = rtf.size();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_RtfOf1000Steps)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DocxOf1000Steps(benchmark::State& state) {
    auto& f = folder();
    const QString path = f.folder() + "bench.docx";
    for (auto _ : state) {
        DocxWriter writer(f, conf());
        if (!writer.writeTo(path)) state.SkipWithError(qPrintable(writer.error()));
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_DocxOf1000Steps)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
