#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace klavoro {

class KeyPoller;
class OperationList;
class StepPipeline;

// The two watchdogs of a recording run.
class RecordingMonitors {
public:
    RecordingMonitors(OperationList& opList, StepPipeline& pipeline, KeyPoller& poller)
        : m_opList(opList), m_pipeline(pipeline), m_poller(poller) {}

    // Start of a run: `start` stands for the last step until one is taken.
    void reset(const QDateTime& start);
    // Every 500 ms: OpList.txt is written 5 s after the last added step, when
    // no step is being taken. True when a save was asked for; false with
    // *clash set when a step was in the way.
    bool saveTick(const QDateTime& now, bool* clash = nullptr);
    // Every 1000 ms (`auto restart` 1): true when clicks keep arriving but no
    // step was taken for 15 s, so the run is to be restarted.
    bool restartTick(const QDateTime& now);

private:
    QDateTime lastStepTime() const;

    OperationList& m_opList;
    StepPipeline& m_pipeline;
    KeyPoller& m_poller;
    QDateTime m_start;
    QString m_checkStamp;
};

} // namespace klavoro
