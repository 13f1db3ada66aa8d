// Writes Conf.txt and an OpList.txt with the program's own code, or reads a
// pair back and checks that it holds what was written and saves to the same
// bytes. Written on one platform and checked on the other, it shows that the
// files move between Windows and Linux unchanged.
// Usage: klavoro_filetrip write|check FOLDER
#include "../unit/fakemainwindow.h"
#include "store/capturefolder.h"
#include "store/conffile.h"
#include "store/dialogs.h"
#include "store/oplist.h"
#include "store/programfolder.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace klavoro;

namespace {

class QuietDialogs : public Dialogs {
public:
    void message(const QString& text, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString& text, const QString&, bool) override {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return false;
    }
};

Settings expectedSettings() {
    Settings s;
    s.dispMenu = 0;
    s.textMag = 1.25f;
    s.thumbnailChkColor = 0xABCDEF;
    s.saveFolderPath = QStringLiteral("data/手順 1/");
    s.playSpeakStartMsg = QStringLiteral("ようこそ「手順書」へ ①②");
    s.balloonFont = QStringLiteral("ＭＳ Ｐゴシック");
    s.hotkey5 = QStringLiteral("Q");
    s.redactWords = QStringLiteral("山田太郎") + QChar(1) + QStringLiteral("/0[0-9]{2}-[0-9]{4}/");
    s.maxCnt = 1234;
    return s;
}

// Names and sentences as other applications give them: quotes, brackets,
// markup, full-width signs and a stored line break (code 4).
QStringList expectedSteps() {
    return {
        buildStepLine(1, QStringLiteral("20261209010203"),
                      QStringLiteral("[OK](ボタン)を、クリックします。"), "jpg", QString()),
        buildStepLine(2, QStringLiteral("20261209010204"),
                      QStringLiteral("[\"引用\" & <b>太字</b>](リンク)を、クリックします。"), "png",
                      QStringLiteral("1")),
        buildStepLine(3, QStringLiteral("20261209010205"),
                      QStringLiteral("(名前)で\"一行目") + QChar(4) + QStringLiteral("二行目\"を入力します。"),
                      "gif", QString()),
        buildStepLine(4, QStringLiteral("q&？"), QStringLiteral("全角／記号＊：｜"), "bmp",
                      QString()),
    };
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int write(QuietDialogs& dialogs) {
    FakeMainWindow window;
    const Settings s = expectedSettings();
    QDir().mkpath(programFolder() + s.saveFolderPath);
    conf() = s;
    if (ConfFile(window, &dialogs, QStringLiteral("klavoro")).save(s) != 0) return 1;
    StepList steps;
    steps.appendLines(expectedSteps());
    OpListHost host;
    OperationList ops(steps, host, dialogs);
    return ops.save() ? 0 : 1;
}

int check(QuietDialogs& dialogs) {
    int failures = 0;
    auto fail = [&](const QString& what) {
        std::fprintf(stderr, "filetrip: %s\n", qPrintable(what));
        ++failures;
    };
    FakeMainWindow window;
    ConfFile file(window, &dialogs, QStringLiteral("klavoro"));
    const QByteArray confBefore = bytesOf(file.path());
    Settings read;
    const ConfLoadReport report = file.load(read);
    if (!report.fileFound || !report.exeNameMatched || !report.faithful ||
        report.charset != QLatin1String("shift-jis"))
        fail(QStringLiteral("Conf.txt was not read as this program's own Shift-JIS file"));
    if (!(read == expectedSettings())) fail(QStringLiteral("Conf.txt does not hold the settings written"));
    conf() = read;

    StepList steps;
    OpListHost host;
    OperationList ops(steps, host, dialogs);
    const QString opList = captureFolder() + QStringLiteral("OpList.txt");
    const QByteArray listBefore = bytesOf(opList);
    if (!ops.load()) fail(QStringLiteral("OpList.txt did not load"));
    const QStringList want2 = expectedSteps();
    if (steps.count() != want2.size()) fail(QStringLiteral("OpList.txt has %1 steps").arg(steps.count()));
    for (int n = 1; n <= std::min<int>(steps.count(), want2.size()); ++n)
        if (steps.line(n) != want2[n - 1])
            fail(QStringLiteral("step %1 reads «%2»").arg(n).arg(steps.line(n)));

    // Saved again here, both files keep their bytes.
    file.save(read);
    if (bytesOf(file.path()) != confBefore) fail(QStringLiteral("Conf.txt changed when saved again"));
    ops.save();
    if (bytesOf(opList) != listBefore) fail(QStringLiteral("OpList.txt changed when saved again"));
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("write") && args[1] != QLatin1String("check"))) {
        std::fprintf(stderr, "usage: klavoro_filetrip write|check FOLDER\n");
        return 2;
    }
    qputenv(kProgramFolderEnv, QDir(args[2]).absolutePath().toUtf8());
    resetProgramFolder();
    QuietDialogs dialogs;
    const int rc = args[1] == QLatin1String("write") ? write(dialogs) : check(dialogs);
    std::printf("%s %s: %s\n", qPrintable(args[1]), qPrintable(args[2]), rc ? "failed" : "ok");
    return rc;
}
