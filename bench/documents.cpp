// The document exports of 1000 steps with their pictures: the build of the
// rich text (and its layout in the window), its RTF, the .docx and the PDF;
// and the Markdown file of a full list, 15000 steps.
#include "bench/offscreenmain.h"
#include "export/docxwriter.h"
#include "export/manualsteps.h"
#include "export/markdownwriter.h"
#include "export/pdfwriter.h"
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
// Made once; removed when the program ends.
test::DocumentFolder& folder() {
    static test::DocumentFolder f;
    if (f.stepCount() == 0)
        for (int i = 0; i < 1000; ++i)
            f.addStep(kSentences[i % kSentences.size()], i % 10 == 0 ? "png" : "jpg",
                      QSize(300, 300), QColor::fromHsv(i % 360, 120, 200));
    return f;
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

void BM_PdfOf1000Steps(benchmark::State& state) {
    auto& f = folder();
    const QString path = f.folder() + "bench.pdf";
    int pages = 0;
    for (auto _ : state) {
        PdfWriter writer(f, conf());
        if (!writer.writeTo(path)) state.SkipWithError(qPrintable(writer.error()));
        pages = writer.pageCount();
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PdfOf1000Steps)->Unit(benchmark::kMillisecond)->UseRealTime();

// 15000 steps, every one with its picture file in the folder (empty files:
// Markdown only names them).
test::DocumentFolder& fullList() {
    static test::DocumentFolder f;
    if (f.stepCount() == 0)
        for (int i = 1; i <= 15000; ++i) {
            const QString name = QStringLiteral("20261206%1").arg(i, 8, 10, QLatin1Char('0'));
            QFile(f.folder() + name + ".jpg").open(QIODevice::WriteOnly);
            f.steps.append(buildStepLine(
                i, name, kSentences[i % kSentences.size()] + QString::number(i), "jpg", QString()));
        }
    return f;
}

void BM_MarkdownOf15000Steps(benchmark::State& state) {
    auto& f = fullList();
    const QString path = f.folder() + "bench.md";
    for (auto _ : state) {
        MarkdownWriter writer(f, conf());
        if (!writer.writeTo(path)) state.SkipWithError(qPrintable(writer.error()));
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(BM_MarkdownOf15000Steps)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
