// Recording on real applications from Debian (GTK 3, GTK 4, Qt 5, Qt 6, Chromium):
// every act of tests/corpus beside the sentence a manual writer expects.
// Reports, for instant clicks and for clicks held 100 ms, on a quiet
// machine and with the other core busy: sentences exactly right, pictures
// taken before the application reacted, lost steps, drags recorded, and the
// time from the press to the step's image on disk. Run on a desktop:
//   scripts/desktop-session build/bench/bench_corpus [--quick] [--verbose]
//       [--only instant|held] [--quiet-only] [--keep DIR] [--app NAME]...
//       [--program PATH]   (another build of the program, e.g. an older one)
//       [--no-redact]      (personal data not boxed: the steps without the
//                           reading of the window's texts)
#include "tests/corpus/corpusrun.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

using namespace klavoro::corpus;

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool quick = args.contains(QStringLiteral("--quick"));
    const bool verbose = args.contains(QStringLiteral("--verbose"));
    const bool quietOnly = args.contains(QStringLiteral("--quiet-only"));
    const int only = args.indexOf(QStringLiteral("--only"));
    const QString style = only >= 0 && only + 1 < args.size() ? args[only + 1] : QString();
    const int keep = args.indexOf(QStringLiteral("--keep"));

    QList<App> apps = corpusApps(quick);
    // --app NAME (repeatable): only these applications.
    QStringList wanted;
    for (int i = 0; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--app")) wanted << args[i + 1];
    if (!wanted.isEmpty())
        apps.erase(std::remove_if(apps.begin(), apps.end(),
                                  [&](const App& a) { return !wanted.contains(a.name); }),
                   apps.end());
    const QStringList missing = Runner::missingPrograms(apps);
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "not installed: %s (scripts/install-deps)\n",
                     qPrintable(missing.join(u' ')));
        return 2;
    }
    std::printf("| clicks | machine | result |\n|---|---|---|\n");
    for (const bool busy : {false, true}) {
        if (busy && quietOnly) continue;
        for (const bool instant : {true, false}) {
            if (style == QLatin1String("instant") && !instant) continue;
            if (style == QLatin1String("held") && instant) continue;
            Options options;
            const int program = args.indexOf(QStringLiteral("--program"));
            options.program = program >= 0 && program + 1 < args.size()
                                  ? args[program + 1]
                                  : QStringLiteral(KLAVORO_BINARY);
            options.instant = instant;
            options.busy = busy;
            options.verbose = verbose;
            options.redact = !args.contains(QStringLiteral("--no-redact"));
            if (keep >= 0 && keep + 1 < args.size())
                options.keepFolder = args[keep + 1] + (instant ? "/instant" : "/held") +
                                     (busy ? "-busy" : "-quiet");
            Runner runner(options);
            if (!runner.run(apps)) {
                std::fprintf(stderr, "corpus run failed: %s\n", qPrintable(runner.error()));
                return 1;
            }
            if (!runner.error().isEmpty())
                std::fprintf(stderr, "note: %s\n", qPrintable(runner.error()));
            std::printf("| %s | %s | %s |\n", instant ? "instant" : "held 100 ms",
                        busy ? "other core busy" : "quiet", qPrintable(runner.summary().table()));
            std::fflush(stdout);
        }
    }
    return 0;
}
