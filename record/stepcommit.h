#pragma once

#include "capture/imagesaving.h"
#include "record/recordingoptions.h"
#include "record/serialworker.h"
#include "store/oplist.h"

#include <QString>

#include <deque>
#include <functional>

namespace klavoro {

class OperationList;
class StepHost;
class StepList;

// A step that has been captured and described and waits for its image file.
struct PendingStep {
    enum class Kind {
        Automatic, // a press, a drag, a typed text or a key
        Manual,    // the manual-capture hot key: no maximum check
        Failed,    // a capture that gave a failure text: no step, but the maximum check
    };
    Kind kind = Kind::Automatic;
    QString eventName; // "Left", "LDrag", "input", "key", ""
    QString sentence;
    QString position;  // "x,y", or empty
    QString imageName; // empty: the step has no image
    QString extension;
    CapturedImages images;
};

// Takes captured steps in the order of their presses, has their images
// written off the GUI thread and adds each to the step list once its file
// exists, so the list (and OpList.txt) never names an image that is missing.
// Numbers are given at that point, with the wrap at `max cnt`: a step whose
// image could not be written takes no number. Images are written without
// waiting for the disk; the list save, on a second thread, first makes the
// images it names durable, then writes OpList.txt.
class StepCommitter {
public:
    StepCommitter(StepList& steps, OperationList& opList, StepHost& host,
                  const RecordingOptions& options);
    ~StepCommitter();

    // Recording starts numbering after `stepNumber`; failures are told anew.
    void start(int stepNumber);
    // Recording ended: no wait marker any more.
    void stop();
    bool isActive() const { return m_active; }

    void submit(PendingStep step);
    // Commits every pending step and writes the list (end of recording).
    void finish();
    // Writes OpList.txt soon, on the writer's thread.
    void requestListSave();

    // The number of the last committed step.
    int stepNumber() const { return m_number; }
    void setStepNumber(int n) { m_number = std::max(0, n); }
    // Steps captured whose commit is still ahead.
    int inFlight() const { return m_stepSlots; }
    // The "続行？" question is open: recording waits for its answer.
    bool isAsking() const { return m_asking; }
    // A list save is queued or running.
    bool listSaveBusy() const { return m_listSaveQueued; }

    // The last step handed in: its event name and sentence, for the double
    // click that follows it.
    QString lastEventName() const { return m_lastEvent; }
    QString lastSentence() const { return m_lastSentence; }
    void replaceLastSentence(const QString& sentence);
    // The image name of the last committed step that has one.
    QString lastImageName() const { return m_lastImageName; }

    // Runs the stop command ("No" to the maximum question).
    std::function<void()> stopRecording;

private:
    struct Slot {
        quint64 id = 0;
        QString error; // known before writing (a path that is too long)
        QString path;  // the image file, when one is written
        PendingStep step;
    };
    void done(quint64 id, const QString& error);
    void listSaved(const QString& error);
    void commit(Slot& slot, const QString& error);
    void removeFiles(const Slot& slot);
    void maximumCheck();
    void reportFailure(const QString& text);
    void stepFinished();

    StepList& m_list;
    OperationList& m_opList;
    StepHost& m_host;
    const RecordingOptions& m_options;
    SerialWorker m_images;     // step images, in press order
    SerialWorker m_background; // list saves and thumbnails
    std::deque<Slot> m_slots;
    int m_stepSlots = 0;
    quint64 m_nextId = 1;
    QStringList m_unsynced; // written images not yet known to be on the disk
    int m_number = 0;
    bool m_active = false;
    bool m_asking = false;
    bool m_discard = false; // "No" to the maximum: what was captured after it is dropped
    bool m_failureShown = false;
    bool m_listSaveQueued = false;
    bool m_listSaveAgain = false;
    QString m_lastEvent, m_lastSentence;
    quint64 m_lastSlot = 0; // the slot of the last step while it is pending
    int m_lastCommitted = 0;
    QString m_lastImageName;
};

} // namespace klavoro
