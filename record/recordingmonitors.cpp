#include "record/recordingmonitors.h"

#include "record/keypoller.h"
#include "record/steppipeline.h"
#include "store/imagename.h"
#include "store/oplist.h"

namespace klavoro {

namespace {
constexpr qint64 kSaveDelayMs = 5000;
constexpr qint64 kRestartMs = 15000;
constexpr int kVkLeft = 1;
} // namespace

void RecordingMonitors::reset(const QDateTime& start) {
    m_start = start;
    m_checkStamp.clear();
    m_poller.clearLastLeftStamp();
}

bool RecordingMonitors::saveTick(const QDateTime& now, bool* clash) {
    if (clash) *clash = false;
    const QString name = m_opList.lastAddedImageName();
    if (name.isEmpty() || timeOfImageName(name).msecsTo(now) < kSaveDelayMs) return false;
    StepCommitter& committer = m_pipeline.committer();
    if (m_pipeline.isBusy() || committer.listSaveBusy()) {
        if (clash) *clash = true;
        return false;
    }
    committer.requestListSave();
    return true;
}

QDateTime RecordingMonitors::lastStepTime() const {
    const QString name = m_pipeline.committer().lastImageName();
    return name.isEmpty() ? m_start : timeOfImageName(name);
}

bool RecordingMonitors::restartTick(const QDateTime& now) {
    m_poller.isKeyDown(kVkLeft); // stamps the left button when it is down
    const QString left = m_poller.lastLeftStamp();
    if (left.isEmpty()) return false;
    bool restart = false;
    if (m_checkStamp.isEmpty()) m_checkStamp = timeStamp(now);
    const QDateTime leftTime = timeOfImageName(left);
    if (timeOfImageName(m_checkStamp).msecsTo(leftTime) >= kRestartMs) {
        m_checkStamp = timeStamp(now);
        restart = lastStepTime().msecsTo(leftTime) >= kRestartMs;
    }
    m_poller.clearLastLeftStamp();
    return restart;
}

} // namespace klavoro
