#pragma once

#include "app/mainwindowgraph.h"
#include "app/windowsession.h"
#include "platform/nativeplatform.h"
#include "ui/inputgate.h"
#include "ui/noticewindows.h"
#include "ui/qtdialogs.h"
#include "ui/trayicon.h"

#include <QPointer>
#include <QWidget>

class QApplication;
class QTranslator;

namespace klavoro {

// The program's object graph. Every service is made here once, before
// anything that uses it, and handed on at construction; nothing replaces one
// later. Members are made in the order they are declared and go in reverse.
class CompositionRoot {
public:
    CompositionRoot();
    ~CompositionRoot();
    CompositionRoot(const CompositionRoot&) = delete;
    CompositionRoot& operator=(const CompositionRoot&) = delete;

    // Start-up inside the event loop (so that a close during it can end the
    // program), the loop, then the final release. The exit code.
    int run(const QString& commandLine);

private:
    QWidget* mainWindow() const { return m_main; }
    void refused(const QString& why);
    bool holdCloseRequest(WindowId window);

    // The main window, once made; the services below only look it up when
    // they show something.
    QPointer<QWidget> m_main;
    NativePlatform m_platform;
    QtDialogs m_dialogs;
    NoticeWindows m_notices;
    TrayIcon m_tray;
    MainWindowGraph m_graph;
    WindowSession m_session;
    InputGate m_gate;
    NativeCloseRequests m_closeRequests;
};

// Qt's own texts (standard buttons, file dialogs) in Japanese whatever the
// locale, from Qt's translations when they are installed. The translator
// installed, or null.
QTranslator* installJapaneseTranslations(QApplication& app);

} // namespace klavoro
