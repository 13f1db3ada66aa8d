#pragma once

#include "platform/hotkeys.h"
#include "platform/inputhook.h"
#include "record/hotkeyset.h"
#include "record/recordingmonitors.h"
#include "record/recordingoptions.h"
#include "record/steppipeline.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

namespace klavoro {

class AreaSelection;
class KeyPoller;
class OperationList;
class RecordingHost;
class RunMode;
class StepList;

// The question of the start command when the list has steps, with the step
// number N and `max cnt` M.
QString appendQuestionText(int stepNumber, int maxCnt);
// "Ctrl+Shift+E で記録終了" for the `hotkey3` letter.
QString endHintText();

// Starts and stops recording. The recording loop is the run mode "Go" and
// the installed hook: hook messages reach the step pipeline while it lasts;
// when the run mode changes, the loop ends at the next turn of the event loop.
class RecordingControl : public QObject, public HookReceiver, public HotKeyReceiver {
    Q_OBJECT
public:
    RecordingControl(const RecordingServices& services, InputHook& hook, HotKeys* hotKeys,
                     KeyPoller& poller, AreaSelection& area, StepList& steps, OperationList& opList,
                     RecordingHost& host, RunMode& runMode, const RecordingOptions& options);
    ~RecordingControl() override;

    // The start command; `manual` starts with automatic capture paused.
    void startCommand(bool manual = false);
    // The stop command: only clears the run mode; the loop notices.
    void stopCommand();

    // The window closes while the loop runs: the hook and hot keys go, and
    // every captured step is written and listed before the list is saved.
    // (Destroying the control while recording writes the files but lists
    // nothing more.)
    void finishNow();

    // The settings dialog changed `target` while recording: the hook's delay
    // follows it, so the hook is installed again.
    void reinstallHook();

    bool isRecording() const { return m_looping; }
    bool isPaused() const { return m_paused; }
    StepPipeline& pipeline() { return m_pipeline; }
    // Called after the loop ended, with the run mode it ended in (tests).
    std::function<void(const QString&)> onLoopEnded;

    // HookReceiver
    void hookMessage(const InputMessage& message) override;
    WindowId hookWindow() const override { return m_hookWindow; }
    void setHookWindow(WindowId window) { m_hookWindow = window; }
    // HotKeyReceiver
    void hotKey(int id) override;

    // The monitors, one tick each (the timers call them; public for tests).
    void saveMonitorTick();
    void restartMonitorTick();
    // The manual capture that the hot key asks for.
    void manualCaptureTimer();

private:
    void enterLoop();
    void leaveLoop();
    void runModeChanged();
    void pauseOrResume();
    void toggleArea();
    void frontOrBack();
    bool tray() const;
    void sayOnce(const QString& text);
    void sayHoldProblem();

    RecordingServices m_services;
    InputHook& m_hook;
    HotKeySet m_hotKeys;
    KeyPoller& m_poller;
    AreaSelection& m_area;
    StepList& m_steps;
    OperationList& m_opList;
    RecordingHost& m_host;
    RunMode& m_runMode;
    const RecordingOptions& m_options;
    StepPipeline m_pipeline;
    RecordingMonitors m_monitors;

    QTimer m_goTimer;
    QTimer m_saveMonitor;
    QTimer m_restartMonitor;
    QTimer m_manualTimer;
    bool m_looping = false;
    bool m_draining = false;
    bool m_paused = false;
    bool m_inHotKey = false;
    bool m_checkQueued = false;
    int m_startNumber = 0;
    QDateTime m_startTime;
    WindowId m_hookWindow = 0;
    QStringList m_said;
};

} // namespace klavoro
