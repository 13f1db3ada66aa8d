#include "app/compositionroot.h"

#include "store/events.h"
#include "store/logs.h"
#include "ui/frmklavoro.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

namespace klavoro {

CompositionRoot::CompositionRoot()
    : m_dialogs([this] { return mainWindow(); }),
      m_notices([this] { return mainWindow(); }),
      m_tray([this] { return mainWindow(); },
             TrayIcon::Hooks{
                 .menu = [this] { return m_graph.window().popupMenu(QStringLiteral("mnuMain")); },
                 .status = [this](const QString& s) { m_graph.window().setStatus(s); },
                 .reselect =
                     [this] {
                         frmKlavoro& w = m_graph.window();
                         int n = w.selectedStepNumber();
                         if (n == 0) n = w.txtNo->text().toInt();
                         if (n > 0) w.selectStep(n);
                     },
             }),
      m_graph({*m_platform.services(), m_dialogs, m_notices, m_tray}),
      m_session(m_graph.window(), m_graph.confFile(), m_graph.statusBlock()),
      m_gate({
          .refused = [this](const QString& why) { refused(why); },
          .closeAgain =
              [this](QWidget* window, bool fromCloseBox) {
                  if (window == mainWindow())
                      m_session.requestClose(fromCloseBox);
                  else
                      window->close();
              },
          .mainWindow = [this] { return mainWindow(); },
      }),
      m_closeRequests([this](WindowId window) { return holdCloseRequest(window); }) {
    m_main = &m_graph.window();
    QObject::connect(&m_session, &WindowSession::unloaded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

CompositionRoot::~CompositionRoot() = default;

void CompositionRoot::refused(const QString& why) {
    m_graph.window().setStatus(why);
    QApplication::beep();
}

bool CompositionRoot::holdCloseRequest(WindowId window) {
    QWidget* main = mainWindow();
    if (!main || window != main->winId()) return false;
    QWidget* modal = QApplication::activeModalWidget();
    LongOperations& ops = LongOperations::instance();
    // Otherwise Qt and the input gate handle it; a blocked window's close
    // Qt would drop.
    if (!ops.isRunning() && (!modal || modal == main)) return false;
    ops.holdClose();
    // A message box inside an operation would keep it waiting for an
    // answer: closed, it answers as its escape button does.
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && ops.isRunning()) box->reject();
    ops.stopAll();
    ops.whenDone([this] {
        // The dialogs over the window go first, each as its close button
        // would close it.
        for (int i = 0; i < 8; ++i) {
            QWidget* open = QApplication::activeModalWidget();
            if (!open || open == mainWindow()) break;
            open->close();
        }
        m_session.requestClose(true);
    });
    return true;
}

int CompositionRoot::run(const QString& commandLine) {
    QTimer::singleShot(0, &m_graph.window(), [this, commandLine] {
        m_session.start(commandLine);
        for (const QString& problem : m_platform.problems())
            writeLog(problem);
    });
    const int rc = QApplication::exec();
    m_session.finalRelease();
    return rc;
}

QTranslator* installJapaneseTranslations(QApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), folder) &&
        QApplication::installTranslator(translator))
        return translator;
    // The message boxes set their own Japanese buttons; file dialogs stay as Qt has them.
    writeLog(QStringLiteral("Qt の日本語翻訳 (qtbase_ja) が見つかりません: ") + folder);
    delete translator;
    return nullptr;
}

} // namespace klavoro
