#include "platform/services.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11keystate.h"
#include "platform/x11/xdgshell.h"
#include "store/capturefolder.h"
#include "store/conffile.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/textfile.h"
#include "ui/frmklavoro.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("klavoro"));

    using namespace klavoro;
    const QString home = programFolder();
    QDir::setCurrent(home);
    writeLog(QString(), true);
    writeExeLog(QString(), true);
    createFolderTree(home + QStringLiteral("data"));

    x11::X11Desktop desktop;
    x11::X11KeyState keys;
    x11::XdgShell shell;
    PlatformServices platform;
    platform.desktop = &desktop;
    platform.keyState = &keys;
    platform.shell = &shell;

    frmKlavoro w(&platform);
    w.confFile().load(conf());
    w.applySettings();
    w.show();
    // Loading lets events run; inside the event loop a close request that
    // arrives meanwhile can still end the program.
    QTimer::singleShot(0, &w, [&w] {
        if (conf().loadFiles.trimmed().toInt() == 1) w.reloadList();
        w.restoreTitle();
    });
    return app.exec();
}
