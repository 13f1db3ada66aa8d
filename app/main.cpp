#include "app/compositionroot.h"
#include "platform/nativeplatform.h"
#include "app/session/startup.h"
#include "store/commandlinehelp.h"
#include "store/programfolder.h"
#include "store/startoptions.h"
#include "ui/qtdialogs.h"
#include "ui/trayicon.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace klavoro;
    {
        // Answered without a display and without touching the lock or any file.
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const InfoRequest info = infoRequest(arguments);
        if (info != InfoRequest::None) {
            const QString text = info == InfoRequest::Help
                                     ? commandLineHelp(QStringLiteral("klavoro"))
                                     : versionLine() + '\n';
            std::fputs(text.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
#ifndef _WIN32
    const bool headlessPlatform = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
                                  qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !headlessPlatform) {
        std::fprintf(stderr,
                     "klavoro: X ディスプレイがありません (DISPLAY が未設定です)。\n"
                     "klavoro: no X display: DISPLAY is not set.\n"
                     "  Start it from an X11 desktop session, or on a machine without one:\n"
                     "    xvfb-run -a -s '-screen 0 1280x1024x24' %s\n",
                     argc > 0 ? argv[0] : "klavoro");
        return 2;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("klavoro"));
    QApplication::setDesktopFileName(QStringLiteral("klavoro"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("klavoro"), TrayIcon::normalIcon()));
    installJapaneseTranslations(app);

    // An installed copy's first start: the lock may fall back to the settings folder.
    createUserFolders();
    // Before anything else is touched: the running copy keeps its files to itself.
    NativeInstanceLock lock;
    {
        QtDialogs dialogs;
        if (refuseSecondInstance(lock, dialogs)) return 1;
    }

    CompositionRoot root;
    return root.run(commandLineFromArguments(app.arguments().mid(1)));
}
