#include "record/stepcommit.h"

#include "export/thumbnails.h"
#include "record/stephost.h"
#include "record/waitmarker.h"
#include "redact/boxes.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/logs.h"
#include "store/oplist.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QFile>

namespace klavoro {

namespace {
const QString kMaximum = QStringLiteral("最大枚数に達しています！");
constexpr qint32 kRed = 255;

QString maximumQuestion(int maxCnt) {
    return QStringLiteral("最大枚数 ") + QString::number(maxCnt) +
           QStringLiteral(
               " に達しました。\r\n続行しますか？\r\n続行すると、１枚目から上書きされます。");
}
} // namespace

StepCommitter::StepCommitter(StepList& steps, OperationList& opList, StepHost& host,
                             const RecordingOptions& options)
    : m_list(steps), m_opList(opList), m_host(host), m_options(options) {}

StepCommitter::~StepCommitter() = default;

void StepCommitter::start(int stepNumber) {
    m_number = std::max(0, stepNumber);
    m_active = true;
    m_discard = false;
    m_failureShown = false;
    m_lastEvent.clear();
    m_lastSentence.clear();
    m_lastSlot = 0;
    m_lastCommitted = 0;
    m_lastImageName.clear();
}

void StepCommitter::stop() {
    m_active = false;
}

void StepCommitter::submit(PendingStep step) {
    const Settings& s = conf();
    Slot slot;
    slot.id = m_nextId++;
    // Typed text and names that the redaction rules match never reach the
    // list, the exports or the window in clear.
    step.sentence = maskedText(step.sentence, redactionRulesOf(s));
    if (step.kind != PendingStep::Kind::Failed) {
        m_lastEvent = step.eventName;
        m_lastSentence = step.sentence;
    }
    const bool write = step.kind != PendingStep::Kind::Failed && !step.imageName.isEmpty() &&
                       (s.autoSave == 1 || m_options.autoSave);
    SerialWorker::Task task = [] { return QString(); };
    if (write) {
        const QString folder = captureFolder();
        const QString path = imagePathForSaving(folder, step.imageName, step.extension);
        slot.error = path.isEmpty() ? folder + step.imageName + QStringLiteral("の作成に失敗！")
                                    : pathTooLongMessage(path);
        if (slot.error.isEmpty()) {
            StepImageFiles files;
            files.folder = folder;
            files.path = path;
            files.imageName = step.imageName;
            files.jpegQuality = s.saveJpgQuality;
            files.syncToDisk = false;
            files.thumbnail = false; // after the commit, in the background
            const QImage marked = step.images.marked;
            const QImage unmarked = s.noRectFile == 1 ? step.images.unmarked : QImage();
            task = [files, marked, unmarked] {
                return writeStepImageFiles(files, marked, unmarked);
            };
            slot.path = path;
        }
    }
    slot.step = std::move(step);
    if (slot.step.kind != PendingStep::Kind::Failed) m_lastSlot = slot.id;
    ++m_stepSlots;
    // Every step goes through the image thread, image or not, so that
    // commits keep the order of the presses.
    const quint64 id = slot.id;
    m_slots.push_back(std::move(slot));
    m_images.post(std::move(task), [this, id](const QString& error) { done(id, error); });
}

void StepCommitter::requestListSave() {
    if (m_listSaveQueued) {
        // The queued save would miss what was added since: one more after it.
        m_listSaveAgain = true;
        return;
    }
    std::optional<OperationList::PreparedSave> prepared = m_opList.prepareSave();
    if (!prepared) return;
    m_listSaveQueued = true;
    const QStringList unsynced = std::exchange(m_unsynced, {});
    m_background.post(
        [prepared = std::move(*prepared), unsynced] {
            // The images first: a list on the disk never names one that is not.
            for (const QString& path : unsynced)
                syncFileToDisk(path);
            QString why;
            if (!OperationList::writePrepared(prepared, &why))
                return QStringLiteral("OpList.txt 保存失敗：") + why;
            return QString();
        },
        [this](const QString& error) { listSaved(error); });
}

void StepCommitter::listSaved(const QString& error) {
    m_listSaveQueued = false;
    if (!error.isEmpty()) reportFailure(error);
    if (m_listSaveAgain) {
        m_listSaveAgain = false;
        requestListSave();
    }
}

void StepCommitter::done(quint64 id, const QString& error) {
    if (m_slots.empty() || m_slots.front().id != id) return; // cannot happen: one FIFO
    Slot slot = std::move(m_slots.front());
    m_slots.pop_front();
    --m_stepSlots;
    if (m_lastSlot == slot.id) m_lastSlot = 0;
    commit(slot, slot.error.isEmpty() ? error : slot.error);
    stepFinished();
}

void StepCommitter::commit(Slot& slot, const QString& error) {
    PendingStep& step = slot.step;
    if (m_discard) {
        removeFiles(slot);
        return;
    }
    if (step.kind == PendingStep::Kind::Failed) {
        maximumCheck();
        return;
    }
    if (!error.isEmpty()) {
        // No file, no step: the list never names an image that is not there.
        removeFiles(slot);
        reportFailure(error);
        return;
    }
    const Settings& s = conf();
    int n = m_number + 1;
    if (step.kind == PendingStep::Kind::Automatic && m_number >= s.maxCnt) {
        m_host.setStatus(kMaximum, kRed);
        m_host.setCaption(kMaximum);
        n = 1;
    }
    m_number = n;

    StepDetail detail;
    detail.no = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
    detail.event = step.eventName;
    detail.pos = step.position;
    detail.sentence = step.sentence;
    detail.fileName = step.imageName;
    detail.ext = step.imageName.isEmpty() ? QString() : step.extension;
    m_host.showDetail(detail);
    m_opList.addStep(n, step.imageName, step.sentence, detail.ext, QString(), true, false);
    m_lastCommitted = n;
    m_host.stepCommitted(n);
    if (!step.imageName.isEmpty()) m_host.showCapture(step.images.marked, s.reduce == 1);
    if (!step.imageName.isEmpty()) m_lastImageName = step.imageName;
    if (!slot.path.isEmpty()) {
        m_unsynced << slot.path;
        if (s.noRectFile == 1)
            m_unsynced << captureFolder() + QStringLiteral("NO_RECT/") + fileNameOf(slot.path);
        const QString folder = captureFolder();
        const ThumbnailBox box{s.thumbnailWidth, s.thumbnailHeight, s.textMag};
        m_background.post([folder, name = step.imageName, box] {
            makeThumbnail(folder, name, false, box);
            return QString();
        });
        m_host.markSaved(n);
        writeExeLog(exeLogRecord(slot.path, step.images));
    }
    if (s.autoSave == 1 || m_options.autoSave) requestListSave();

    m_host.setStatus(QString());
    if (s.captureSound == 1 || m_options.sound) m_host.playSound(s.chime);
    if (step.kind == PendingStep::Kind::Automatic) maximumCheck();
}

void StepCommitter::maximumCheck() {
    const Settings& s = conf();
    if (m_number < s.maxCnt) return;
    m_host.setStatus(kMaximum, kRed);
    m_host.setCaption(kMaximum);
    if (s.noConfirm != 0) return;
    m_asking = true;
    const bool yes =
        m_host.dialogs().askYesNo(maximumQuestion(s.maxCnt), QStringLiteral("続行？"), true);
    m_asking = false;
    if (yes) return;
    // What was captured after the last step must not overwrite step 1.
    m_discard = true;
    if (stopRecording) stopRecording();
}

void StepCommitter::removeFiles(const Slot& slot) {
    if (slot.path.isEmpty()) return;
    QFile::remove(slot.path);
    const QString folder = captureFolder();
    QFile::remove(folder + QStringLiteral("NO_RECT/") + fileNameOf(slot.path));
    QFile::remove(thumbnailPath(folder, slot.step.imageName));
}

void StepCommitter::reportFailure(const QString& text) {
    writeLog(text);
    m_host.publishStatus(QStringLiteral("保存エラー！"));
    // Once per recording: the same fault on every click would bury the user in boxes.
    if (m_failureShown) return;
    m_failureShown = true;
    m_host.dialogs().message(text, QStringLiteral("保存エラー"));
}

void StepCommitter::stepFinished() {
    if (m_stepSlots > 0) return;
    if (conf().iconBlink == 1) m_host.setCapturing(false);
    if (m_active) createWaitMarker();
}

void StepCommitter::finish() {
    // A commit may ask for a list save, a list save may ask for another.
    while ((m_images.pending() > 0 || m_background.pending() > 0) && !m_images.isDelivering() &&
           !m_background.isDelivering()) {
        m_images.drain();
        m_background.drain();
    }
}

void StepCommitter::replaceLastSentence(const QString& given) {
    const QString sentence = maskedText(given, redactionRulesOf(conf()));
    m_lastSentence = sentence;
    for (Slot& slot : m_slots) {
        if (slot.id == m_lastSlot) {
            slot.step.sentence = sentence;
            return;
        }
    }
    if (m_lastCommitted < 1 || m_lastCommitted > m_list.count()) return;
    m_list.setField(FieldMessage, m_lastCommitted, padToHalfWidth(sentence, 100));
    m_host.showSentence(sentence);
    if (conf().autoSave == 1 || m_options.autoSave) requestListSave();
}

} // namespace klavoro
