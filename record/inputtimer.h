#pragma once

#include "record/inputmessage.h"

#include <QObject>
#include <QTimer>

namespace klavoro {

class AreaSelection;
class KeyPoller;
class RunMode;

// What the input timer does in the main window.
class InputTimerHost {
public:
    virtual ~InputTimerHost() = default;
    virtual bool isMainWindowForeground() = 0;
    virtual int stepCount() = 0;
    // The selected step, 0 for none; selecting 0 clears the selection.
    virtual int selectedStep() = 0;
    virtual void selectStep(int n) = 0;
    // The delete-step command of the step list.
    virtual void deleteSelectedStep() = 0;
    // Saves the current step's image unless it is saved already.
    virtual void saveCurrentStepImage() = 0;
    virtual void publishStatus(const QString& text) = 0;
};

// The 10 ms input timer: polls the keys, keeps the modifier flags, serves the
// main window's own shortcuts (Left, Right, Delete, Ctrl+S) while nothing
// runs, and drives the area selector.
class InputTimer : public QObject {
    Q_OBJECT
public:
    InputTimer(KeyPoller& poller, AreaSelection& area, InputTimerHost& host, RunMode& runMode);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // One tick (public for tests).
    void tick();
    const InputMessage& record() const { return m_record; }

private:
    void shortcut(int vk);
    void trackArea(const QString& kind);

    KeyPoller& m_poller;
    AreaSelection& m_area;
    InputTimerHost& m_host;
    RunMode& m_runMode;
    QTimer m_timer;
    InputMessage m_record;
};

} // namespace klavoro
