#pragma once

// A recording on a scripted desktop: an application window with an "OK"
// button and a text field, a window of our own, and a host that remembers
// what the main window was told.
#include "platform/fake/fakeaccessibility.h"
#include "platform/fake/fakedesktop.h"
#include "platform/fake/fakehotkeys.h"
#include "platform/fake/fakeinputhook.h"
#include "platform/fake/fakekeystate.h"
#include "platform/fake/fakescreen.h"
#include "record/areaselection.h"
#include "record/keypoller.h"
#include "record/notificationarea.h"
#include "record/recordinghost.h"
#include "record/runmode.h"
#include "record/steppipeline.h"
#include "store/oplist.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace klavoro::test {

class FakeNotificationArea : public NotificationArea {
public:
    bool available = true;
    bool shown = false;
    QString tip;
    bool isAvailable() const override { return available; }
    bool add(const QString& t) override {
        if (!available) return false;
        tip = t;
        shown = true;
        return true;
    }
    void setTip(const QString& t) override { tip = t; }
    void setCapturing(bool) override {}
    void remove(bool) override { shown = false; }
    bool isShown() const override { return shown; }
};

class FakeRecordingHost : public RecordingHost, public OpListHost {
public:
    struct Status {
        QString text;
        qint32 colour;
    };
    WindowId own = 0;
    FakeDialogs dialogBox;
    FakeNotificationArea tray;
    QList<Status> statuses;
    QStringList published, captions, popups, sounds, sentences;
    QList<StepDetail> details;
    QList<QPair<QString, quint32>> events;
    QList<int> saved, counters;
    QList<bool> capturing;
    QString message, storedMessage;
    qint32 messageColour = 0;
    bool outOfTheWay = false, minimized = false, visible = true, foreground = false;
    bool recordingButtons = false, unloaded = false, deleteAllResult = true;
    int deleteAllCalls = 0, clearCalls = 0, stepField = 0, informationCalls = 0;

    // StepHost
    bool isOwnWindow(WindowId top) override { return top != 0 && top == own; }
    void setStatus(const QString& text, qint32 colour = 0) override {
        statuses.append({text, colour});
    }
    void publishStatus(const QString& text) override {
        published << text;
        statuses.append({text, 0});
    }
    void setCaption(const QString& c) override { captions << c; }
    void showDetail(const StepDetail& d) override {
        details << d;
        stepField = d.no.toInt();
    }
    void showSentence(const QString& s) override { sentences << s; }
    void showEvent(const QString& k, quint32 w) override { events.append({k, w}); }
    void showInformation(QPoint, WindowId, WindowId) override { ++informationCalls; }
    void showCapture(const QImage&, bool) override {}
    void markSaved(int n) override { saved << n; }
    void setCapturing(bool on) override { capturing << on; }
    void playSound(const QString& f) override { sounds << f; }
    void showPopupCounter(int next) override { counters << next; }
    Dialogs& dialogs() override { return dialogBox; }

    // RecordingHost
    void unmarkedFolderCheck() override {}
    void relayout() override {}
    void setImageSizePanelVisible(bool) override {}
    int stepNumberField() override { return stepField; }
    bool deleteAllSteps() override {
        ++deleteAllCalls;
        return deleteAllResult;
    }
    void clearForNewList() override {
        ++clearCalls;
        stepField = 0;
    }
    void setOutOfTheWay(bool out) override { outOfTheWay = out; }
    bool isOutOfTheWay() override { return outOfTheWay; }
    void minimizeWindow() override { minimized = true; }
    void restoreWindow() override { minimized = false; }
    void setWindowVisible(bool v) override { visible = v; }
    bool isWindowVisible() override { return visible; }
    bool isForeground() override { return foreground; }
    void bringToFront() override {}
    NotificationArea& notificationArea() override { return tray; }
    QString trayTip() override { return QStringLiteral("tip"); }
    void unloadMainWindow() override { unloaded = true; }
    void showMessage(const QString& text, qint32 colour) override {
        if (text.isEmpty()) {
            message = storedMessage;
            messageColour = 0;
            return;
        }
        storedMessage = message;
        message = text;
        messageColour = colour;
    }
    void setMessageCaption(const QString& text, qint32 colour) override {
        message = text;
        messageColour = colour;
    }
    void restoreTitle() override { captions << QStringLiteral("title"); }
    void setRecordingButtons(bool on) override { recordingButtons = on; }
    void showPopup(const QString& t, qint32) override { popups << t; }
    void closePopup() override {}
    void showProgress(const QString&, int) override {}

    // OpListHost: the step number goes into OpList.txt's header
    QString currentStepText() const override { return QString::number(stepField); }

    QStringList statusTexts() const {
        QStringList t;
        for (const Status& s : statuses)
            t << s.text;
        return t;
    }
};

// A screen whose copy can run a piece of the test, as if the user acted
// while the capture was under way.
class ScriptedScreen : public FakeScreen {
public:
    std::function<void()> duringCopy;
    QImage copy(const QRect& area) override {
        if (duringCopy) {
            auto f = std::move(duringCopy);
            f();
        }
        return FakeScreen::copy(area);
    }
};

// An accessibility service that can run a piece of the test while it is
// asked, as if the application changed while it answered slowly.
class ScriptedAccessibility : public FakeAccessibility {
public:
    std::function<void()> duringQuery;
    AccessibleRef objectAtPoint(QPoint p) override {
        if (duringQuery) {
            auto f = std::move(duringQuery);
            f();
        }
        return FakeAccessibility::objectAtPoint(p);
    }
};

struct RecordingRig {
    static constexpr WindowId kApp = 100, kOwn = 200;
    static constexpr int kVkLeft = 1, kVkRight = 2, kVkMiddle = 4;

    ScratchHome home;
    FakeDesktop desktop;
    FakeKeyState keys;
    ScriptedScreen screen;
    ScriptedAccessibility access;
    FakeInputHook hook;
    FakeHotKeys hotKeys;
    KeyPoller poller{keys, desktop};
    StepList steps;
    FakeRecordingHost host;
    OperationList ops{steps, host, host.dialogBox};
    RecordingOptions options;
    RunMode runMode;
    AreaSelection area;
    RecordingServices services{desktop, keys, screen, screen, access};
    FakeElementRef frame, ok, name, password;

    RecordingRig() {
        FakeWindow app;
        app.id = kApp;
        app.rect = QRect(0, 0, 800, 600);
        app.className = QStringLiteral("App");
        app.pid = 5;
        desktop.addWindow(app);
        FakeWindow own;
        own.id = kOwn;
        own.rect = QRect(900, 0, 300, 300);
        own.className = QStringLiteral("klavoro");
        own.pid = 99;
        desktop.addWindow(own);
        desktop.setForeground(kApp);
        host.own = kOwn;
        frame = access.add(QStringLiteral("frame"), 9, QStringLiteral("Fixture"), {0, 0, 800, 600});
        ok = access.add(QStringLiteral("ok"), 43, QStringLiteral("OK"), {100, 100, 80, 25}, frame);
        name = access.add(QStringLiteral("name"), 42, QStringLiteral("名前"), {100, 200, 120, 22},
                          frame);
        password = access.add(QStringLiteral("pw"), 42, QStringLiteral("パスワード"),
                              {100, 240, 120, 22}, frame);
        password->stateBits = state::Protected | state::Focusable;
        access.setWindowObject(kApp, frame);
        conf().autoRestart = 0;
    }

    static int buttonOf(quint32 down) {
        return down == kLeftDown ? kVkLeft : down == kRightDown ? kVkRight : kVkMiddle;
    }
    // The user presses and releases a button; the pointer is where the hook says.
    bool press(QPoint p, quint32 code = kLeftDown) {
        desktop.setPointer(p);
        keys.press(buttonOf(code));
        return hook.mouse(code, p);
    }
    bool release(QPoint p, quint32 down = kLeftDown) {
        desktop.setPointer(p);
        keys.release(buttonOf(down));
        return hook.mouse(down + 1, p);
    }
    bool move(QPoint p) {
        desktop.setPointer(p);
        return hook.mouse(kMouseMove, p);
    }
    bool click(QPoint p) { return press(p) && release(p); }
    QPoint okCentre() const { return QPoint(140, 112); }
};

// Lets queued calls and timers run for `ms`.
inline void runEvents(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < ms);
}

// Runs events until `done` holds or `ms` have passed (a slow machine, Wine);
// whether it holds.
template <typename Done> bool runEventsUntil(Done done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

} // namespace klavoro::test
