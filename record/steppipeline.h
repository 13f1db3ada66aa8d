#pragma once

#include "capture/getimage.h"
#include "describe/doubleclickmerge.h"
#include "describe/elementinfo.h"
#include "describe/inputtracker.h"
#include "describe/inspector.h"
#include "record/frozenmoment.h"
#include "record/frozenscreen.h"
#include "record/inputmessage.h"
#include "record/recordingoptions.h"
#include "record/stepcommit.h"
#include "redact/captureredaction.h"
#include "store/imagename.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>

namespace klavoro {

class Accessibility;
class CursorSource;
class Desktop;
class KeyPoller;
class KeyState;
class OperationList;
class ScreenCopy;
class ScreenTextSource;
class StepHost;
class StepList;

// The platform services a recording runs on.
struct RecordingServices {
    Desktop& desktop;
    KeyState& keys;
    ScreenCopy& screen;
    CursorSource& cursor;
    Accessibility& accessibility;
    ScreenTextSource* screenText = nullptr; // null: no texts to redact can be found
};

// Turns hook messages into steps. A press is captured the moment it is
// delivered (screen copy, pointer, the element under it); describing, writing
// the files and adding the step to the list follow in press order.
class StepPipeline : public QObject,
                     private ElementRectSource,
                     private TrackerHost,
                     private LastRecordedStep {
    Q_OBJECT
public:
    StepPipeline(const RecordingServices& services, KeyPoller& poller, StepList& steps,
                 OperationList& opList, StepHost& host, const RecordingOptions& options);
    ~StepPipeline() override;

    // Start of recording: numbering after `stepNumber`, the event state empty.
    void start(int stepNumber);
    // End of recording: pending keys and typed text become steps, then every
    // pending step is written and committed.
    void stop();

    // One hook message (the event handler).
    void handleMessage(const InputMessage& message);
    // The manual-capture hot key: the selected area ("rect") when there is
    // one, else the target of the settings. Returns the capture's failure text.
    QString manualCapture(const std::optional<QRect>& area);

    // Whether a hot-key combination's key (Ctrl+Shift+vk) is one of ours: such
    // key presses are never typed text.
    std::function<bool(int vk)> isHotKey;

    int stepNumber() const { return m_committer.stepNumber(); }
    // A step is being captured or waits for its file.
    bool isBusy() const { return m_capturing || m_committer.inFlight() > 0; }
    StepCommitter& committer() { return m_committer; }
    // The images of the last capture (the main picture), for saving it by hand.
    const CapturedImages& lastCapture() const { return m_lastCapture; }
    const InputTracker& tracker() const { return m_tracker; }

private:
    struct KeyJob {
        int vk = 0;
        ModifierFlags flags;
        qint64 due = 0; // monotonic ms
        bool data = false;
    };

    // ElementRectSource
    ScreenRect elementRectAt(QPoint screenPoint) override;
    // TrackerHost
    void writeInputStep(const QString& sentence) override;
    void writeKeyStep(const QString& sentence, std::optional<QPoint> captureCentre) override;
    void settleKeyPress() override {}
    // LastRecordedStep
    QString lastEventName() const override { return m_committer.lastEventName(); }
    QString lastSentence() const override { return m_committer.lastSentence(); }
    void replaceLastSentence(const QString& s) override { m_committer.replaceLastSentence(s); }

    void press(const QString& kind, const InputMessage& message, WindowId under);
    void release(const QString& kind, const InputMessage& message, QPoint point);
    // The step runner; the failure text of the capture, or empty.
    QString runStep(const QString& eventName, const InputMessage& message);
    void keyDown(const InputMessage& message);
    // `beforePress`: a press has come since; typed keys went to the control
    // tracked before it, not to whatever the press focused.
    void runKeyJobs(bool all, bool beforePress = false);
    void scheduleKeyJobs();
    void focusCheck();
    // Copies what the press's capture will need, before anything else; a
    // snapshot the hook took at the press stands for the live desktop.
    void freezeFor(QPoint point, const std::shared_ptr<const PressSnapshot>& snapshot);
    void thaw();
    // Notes in the execution log a press that was not held or whose element
    // could not be read in time.
    void logPress(const PressSnapshot& snapshot);

    RecordingServices m_services;
    KeyPoller& m_poller;
    StepHost& m_host;
    const RecordingOptions& m_options;
    ElementInspector m_inspector;
    FrozenScreen m_frozen;
    FrozenDesktop m_frozenDesktop;
    FrozenCursor m_frozenCursor;
    std::shared_ptr<const PressSnapshot> m_snapshot;
    CaptureEngine m_engine;
    CaptureRedaction m_redaction;
    InputTracker m_tracker;
    StepCommitter m_committer;
    ImageNamer m_namer;

    // Event state between messages.
    QPoint m_previousPoint;
    bool m_dragCandidate = false;
    // Where each button (1 left, 2 right, 3 middle) was last pressed, scaled.
    std::array<QPoint, 4> m_pressPoint{};
    std::array<bool, 4> m_pressed{};
    bool m_capturing = false;
    // What the inspection of the current capture found.
    ElementInfo m_info;
    QString m_hitKey;
    std::optional<ScreenRect> m_forcedRect;
    CapturedImages m_lastCapture;

    std::deque<KeyJob> m_keyJobs;
    QTimer m_keyTimer;
    QTimer m_focusTimer;
    qint64 m_lastMoveInfo = 0;
};

} // namespace klavoro
