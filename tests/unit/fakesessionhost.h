#pragma once

#include "record/runmode.h"

#include "app/session/sessionhost.h"
#include "store/startoptions.h"
#include "testutil.h"

#include <QStringList>

#include <functional>

// Records what start-up and shut-down do to the window, one entry per call.
class FakeSessionHost : public klavoro::SessionHost {
public:
    klavoro::Dialogs& dialogs() override { return dlg; }
    void showWindowHandle() override { calls << "handle"; }
    void showHintMark() override { calls << "hint"; }
    void publishStatus(const QString& s) override { calls << "publish:" + s; }
    void applySettings() override {
        calls << "apply";
        if (onApply) onApply();
    }
    void setStartOptions(const klavoro::StartOptions& o) override {
        calls << "options";
        options = o;
    }
    void setWindowVisible(bool v) override {
        calls << QStringLiteral("visible:%1").arg(v);
        visible = v;
    }
    void minimizeWindow() override { calls << "minimize"; }
    void setMenuBarVisible(bool v) override { calls << QStringLiteral("menubar:%1").arg(v); }
    void loadList() override { calls << "load"; }
    int stepCount() const override { return steps; }
    void setWindowEnabled(bool e) override { calls << QStringLiteral("enabled:%1").arg(e); }
    void restoreTitle() override { calls << "title"; }
    void setButtonsForRunMode() override { calls << "buttons"; }
    void showStatus(const QString& t, bool h) override {
        calls << QStringLiteral("status:%1:%2").arg(t).arg(h);
    }
    void disableCommand(const QString& n) override { calls << "disable:" + n; }
    void layoutThumbnailPanel() override { calls << "thumbpanel"; }
    void relayout() override { calls << "relayout"; }
    bool runCommand(const QString& n) override {
        calls << "run:" + n;
        // The start command sets the run mode unless its question was cancelled.
        if (commandExists && n == QLatin1String("cmdGo") && startAnswered)
            klavoro::runMode().set(klavoro::kRunGo);
        return commandExists;
    }
    void armInputTimer() override { calls << "timer"; }
    bool hideInNotificationArea() override {
        calls << "tray";
        return trayAvailable;
    }
    void removeNotificationArea() override { calls << "untray"; }
    void prepareToSave() override { calls << "prepare"; }
    void saveList() override {
        calls << "savelist";
        if (onSaveList) onSaveList();
    }
    void removeInputHook() override { calls << "unhook"; }
    void closeWindow() override { calls << "close"; }

    bool has(const QString& call) const { return calls.contains(call); }
    qsizetype indexOf(const QString& call) const { return calls.indexOf(call); }

    klavoro::test::FakeDialogs dlg;
    klavoro::StartOptions options;
    QStringList calls;
    std::function<void()> onApply, onSaveList;
    bool visible = false;
    bool commandExists = true;
    bool startAnswered = true;
    bool trayAvailable = true;
    int steps = 0;
};
