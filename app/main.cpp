#include "platform/x11/flockinstancelock.h"
#include "platform/x11/x11platform.h"
#include "store/commandlinehelp.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "store/startoptions.h"
#include "app/session/startup.h"
#include "ui/frmklavoro.h"
#include "ui/noticewindows.h"
#include "ui/qtdialogs.h"
#include "ui/trayicon.h"
#include "app/windowsession.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QTimer>

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
    QApplication::setDesktopFileName(QStringLiteral("klavoro"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("klavoro"), TrayIcon::normalIcon()));

    // An installed copy's first start: the lock may fall back to the settings folder.
    createUserFolders();
    // Before anything else is touched: the running copy keeps its files to itself.
    x11::FlockInstanceLock lock;
    {
        QtDialogs dialogs(nullptr);
        if (refuseSecondInstance(lock, dialogs)) return 1;
    }

    x11::X11Platform platform;
    frmKlavoro window(platform.services());
    window.setNotices(std::make_unique<NoticeWindows>(&window));
    window.setNotificationArea(std::make_unique<TrayIcon>(
        &window, TrayIcon::Hooks{
                     .menu = [&window] { return window.popupMenu(QStringLiteral("mnuMain")); },
                     .status = [&window](const QString& s) { window.setStatus(s); },
                     .reselect =
                         [&window] {
                             int n = window.selectedStepNumber();
                             if (n == 0) n = window.txtNo->text().toInt();
                             if (n > 0) window.selectStep(n);
                         },
                 }));
    WindowSession session(window, platform.services());
    QObject::connect(&session, &WindowSession::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    // Inside the event loop, so that a close while start-up lets events run
    // can still end the program.
    const QString commandLine = commandLineFromArguments(app.arguments().mid(1));
    QTimer::singleShot(0, &window, [&] {
        session.start(commandLine);
        for (const QString& problem : platform.problems())
            writeLog(problem);
    });
    const int rc = app.exec();
    session.finalRelease();
    return rc;
}
