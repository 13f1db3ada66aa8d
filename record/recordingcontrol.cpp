#include "record/recordingcontrol.h"

#include "capture/getimage.h"
#include "record/areaselection.h"
#include "record/keypoller.h"
#include "record/notificationarea.h"
#include "record/recordinghost.h"
#include "record/runmode.h"
#include "record/waitmarker.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/logs.h"
#include "store/settings.h"
#include "store/steplist.h"

namespace klavoro {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kPaused = QStringLiteral("自動キャプチャー停止中");
constexpr qint32 kBlack = 0;
constexpr qint32 kRed = 0x0000FF;  // blue-green-red
constexpr qint32 kBlue = 0xFF0000; // blue-green-red
// How long a stop waits for the presses made before it (their elements
// may still be read).
constexpr int kDrainMs = 2000;

// The part of the screen a press's picture is cut from.
PressArea pressAreaOf(const Settings& s) {
    PressArea area;
    area.around = captureTargetName(s.target) == QLatin1String("around");
    area.left = s.rectLeft;
    area.top = s.rectTop;
    area.right = s.rectRight;
    area.bottom = s.rectBottom;
    area.textMag = s.textMag;
    area.redact = s.redact != 0;
    area.redactKinds = s.redactPatterns;
    area.redactWords = s.redactWords;
    return area;
}

int hookDelay(const Settings& s) {
    switch (s.target) {
    case 0:
        return s.delay0;
    case 1:
        return s.delay1;
    case 2:
        return s.delay2;
    default:
        return 0;
    }
}
} // namespace

QString appendQuestionText(int n, int maxCnt) {
    const QString append =
        n < maxCnt
            ? QStringLiteral("残して次 ") + QString::number(n + 1) + QStringLiteral(" から追加")
            : QStringLiteral("取得済み = ") + QString::number(n) + QStringLiteral(" 枚 ：最大数 ") +
                  QString::number(maxCnt) + QStringLiteral(" 枚 に達しています。") + kCrLf +
                  QStringLiteral("　　　　　　　　　 残して 1 から上書き－サイクリック");
    return QStringLiteral("既存のファイルが在ります。") + kCrLf + kCrLf +
           QStringLiteral("削除しますか？") + kCrLf + kCrLf +
           QStringLiteral(" はい(Y)  　→ 全て削除して 1 から新規") + kCrLf + kCrLf +
           QStringLiteral(" いいえ(N)　→ ") + append + kCrLf + kCrLf +
           QStringLiteral(" キャンセル → 処理を終了");
}

QString endHintText() {
    return QStringLiteral("Ctrl+Shift+") + conf().hotkey3 + QStringLiteral("で記録終了");
}

RecordingControl::RecordingControl(const RecordingServices& services, InputHook& hook,
                                   HotKeys* hotKeys, KeyPoller& poller, AreaSelection& area,
                                   StepList& steps, OperationList& opList, RecordingHost& host,
                                   RunMode& runMode, const RecordingOptions& options)
    : m_services(services), m_hook(hook), m_hotKeys(hotKeys), m_poller(poller), m_area(area),
      m_steps(steps), m_opList(opList), m_host(host), m_runMode(runMode), m_options(options),
      m_pipeline(services, poller, steps, opList, host, options),
      m_monitors(opList, m_pipeline, poller) {
    m_goTimer.setSingleShot(true);
    m_goTimer.setInterval(1);
    connect(&m_goTimer, &QTimer::timeout, this, &RecordingControl::enterLoop);
    m_saveMonitor.setInterval(500);
    connect(&m_saveMonitor, &QTimer::timeout, this, &RecordingControl::saveMonitorTick);
    m_restartMonitor.setInterval(1000);
    connect(&m_restartMonitor, &QTimer::timeout, this, &RecordingControl::restartMonitorTick);
    m_manualTimer.setSingleShot(true);
    m_manualTimer.setInterval(1);
    connect(&m_manualTimer, &QTimer::timeout, this, &RecordingControl::manualCaptureTimer);
    connect(&m_runMode, &RunMode::changed, this, &RecordingControl::runModeChanged);
    m_pipeline.isHotKey = [this](int vk) { return m_hotKeys.isHotKeyKey(vk); };
    m_pipeline.committer().stopRecording = [this] { stopCommand(); };
}

RecordingControl::~RecordingControl() {
    // The window may be half gone here: no commits, only the hook and keys go.
    if (!m_looping) return;
    m_hook.ResetHook();
    m_hotKeys.unregisterAll();
}

void RecordingControl::finishNow() {
    if (!m_looping) return;
    m_looping = false;
    m_hook.ResetHook();
    m_hotKeys.unregisterAll();
    m_pipeline.stop();
    m_goTimer.stop();
    m_saveMonitor.stop();
    m_restartMonitor.stop();
    deleteWaitMarker();
}

void RecordingControl::startCommand(bool manual) {
    if (!m_runMode.isIdle() || m_looping) return;
    const Settings& s = conf();
    m_host.unmarkedFolderCheck();
    m_host.relayout();
    m_host.setImageSizePanelVisible(false);
    int n = std::max(0, m_host.stepNumberField());
    // The field follows the selection: taken as it is, a start after selecting
    // an earlier step would overwrite every step after it. Below the maximum
    // the steps go after the last one; at the maximum the cyclic overwrite
    // goes on from the field's number, as the question says.
    if (m_steps.count() < s.maxCnt) n = m_steps.count();

    // The start options answer the question only where there is one: an
    // empty list simply starts.
    Dialogs::Answer answer = Dialogs::Answer::No; // keep the list and append
    if (m_steps.count() == 0)
        answer = Dialogs::Answer::No;
    else if (m_options.newOrAppend == QLatin1String("new"))
        answer = Dialogs::Answer::Yes;
    else if (m_options.newOrAppend == QLatin1String("append"))
        answer = Dialogs::Answer::No;
    else if (s.confirmAppend == 1)
        answer = m_host.dialogs().askYesNoCancel(appendQuestionText(n, s.maxCnt),
                                                 QStringLiteral("削除確認"), Dialogs::Answer::No);
    if (answer == Dialogs::Answer::Cancel) return;
    if (answer == Dialogs::Answer::Yes) {
        if (!m_host.dialogs().askOkCancel(
                QStringLiteral("既存の画像／データを削除します。本当に、よろしいですか？"),
                QStringLiteral("新規確認")))
            return;
        if (!m_host.deleteAllSteps()) return;
        n = 0;
        m_host.clearForNewList();
    }

    m_startTime = QDateTime::currentDateTime();
    m_host.setOutOfTheWay(true);
    if (s.minimize == 1) m_host.minimizeWindow();
    if (tray()) {
        // Without a notification area the window stays reachable: minimised.
        // (The notification area says so itself.)
        if (!m_host.notificationArea().add(m_host.trayTip())) m_host.minimizeWindow();
    } else {
        m_host.setWindowVisible(!m_options.noVisible);
    }
    m_host.setMessageCaption(endHintText(), kBlack);
    QString folder = captureFolderText();
    folder.chop(1);
    m_host.setCaption(folder + QStringLiteral(" - Start"));
    if (manual) {
        m_paused = true;
        m_host.setMessageCaption(kPaused, kRed);
    }
    m_startNumber = n;
    m_runMode.set(kRunGo);
    m_goTimer.start();
}

void RecordingControl::stopCommand() {
    m_runMode.set(kRunIdle);
}

void RecordingControl::enterLoop() {
    const Settings& s = conf();
    if (!m_runMode.is(kRunGo)) {
        // Stopped before the loop began.
        m_paused = false;
        m_host.setOutOfTheWay(false);
        m_host.restoreTitle();
        m_host.setMessageCaption(QString(), kBlack);
        // Closed before it began: the loop that would close the window never runs.
        if (m_runMode.is(kRunEnd)) m_host.unloadMainWindow();
        return;
    }
    m_host.setRecordingButtons(true);
    m_saveMonitor.start();
    if (s.autoRestart == 1) m_restartMonitor.start();
    m_host.publishStatus(QStringLiteral("Go"));
    if (s.captureSound == 1 || m_options.sound) m_host.playSound(s.soundStart);
    createWaitMarker();

    m_pipeline.start(m_startNumber);
    m_area.setMode(false);
    m_monitors.reset(m_startTime);
    m_looping = true;
    m_hook.setPressArea(pressAreaOf(s));
    if (!m_hook.SetHook(this, hookDelay(s))) {
        // Without input nothing could be recorded: say why and stop again.
        sayOnce(QStringLiteral("入力を監視できません：") + m_hook.errorText());
        m_host.dialogs().message(QStringLiteral("入力を監視できません。") + kCrLf +
                                     m_hook.errorText(),
                                 QStringLiteral("MyHook"));
        stopCommand();
        return;
    }
    sayHoldProblem();
    QStringList taken;
    m_hotKeys.registerAll(this, m_options.debug, &taken);
    for (const QString& key : taken)
        sayOnce(QStringLiteral("ホットキー ") + key +
                QStringLiteral(" は他のプログラムが使用中のため使えません。"));
}

void RecordingControl::reinstallHook() {
    if (!m_looping) return;
    m_hook.ResetHook();
    m_hook.setPressArea(pressAreaOf(conf()));
    if (!m_hook.SetHook(this, hookDelay(conf()))) {
        sayOnce(QStringLiteral("入力を監視できません：") + m_hook.errorText());
        stopCommand();
        return;
    }
    sayHoldProblem();
}

void RecordingControl::sayHoldProblem() {
    // Still recorded, but each picture is taken a moment after its press.
    const QString problem = m_hook.holdProblem();
    if (!problem.isEmpty())
        sayOnce(QStringLiteral("クリックの瞬間を撮影できません：") + problem);
}

void RecordingControl::runModeChanged() {
    // The loop notices a change when control comes back to the event loop,
    // so that a step under way is finished first.
    if (!m_looping || m_checkQueued) return;
    m_checkQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_checkQueued = false;
            if (m_looping && !m_runMode.is(kRunGo)) leaveLoop();
        },
        Qt::QueuedConnection);
}

void RecordingControl::leaveLoop() {
    // Presses made before the stop still become steps.
    m_draining = true;
    m_hook.finishPending(kDrainMs);
    m_draining = false;
    m_looping = false;
    m_hook.ResetHook();
    m_pipeline.stop();
    m_host.setRecordingButtons(false);
    m_hotKeys.unregisterAll();
    m_host.relayout();
    m_host.setOutOfTheWay(false);
    m_host.bringToFront();

    const QString mode = m_runMode.text();
    if (mode == kRunReStart) {
        // The new loop goes on numbering where this one ended.
        m_startNumber = m_pipeline.stepNumber();
        m_startTime = QDateTime::currentDateTime();
        m_runMode.set(kRunGo);
        m_goTimer.start();
    } else if (mode == kRunEnd) {
        m_saveMonitor.stop();
        m_restartMonitor.stop();
        deleteWaitMarker();
        m_host.unloadMainWindow();
    } else {
        m_goTimer.stop();
        m_restartMonitor.stop();
        m_saveMonitor.stop();
        m_paused = false;
        m_host.restoreWindow();
        if (m_host.notificationArea().isShown()) m_host.notificationArea().remove(true);
        m_host.closePopup();
        m_host.publishStatus(QStringLiteral("Stop"));
        m_host.restoreTitle();
        m_host.setMessageCaption(QString(), kBlack);
        deleteWaitMarker();
        m_host.setImageSizePanelVisible(m_steps.count() > 0);
        m_host.setWindowVisible(true);
    }
    if (onLoopEnded) onLoopEnded(mode);
}

void RecordingControl::hookMessage(const InputMessage& message) {
    if (m_draining) {
        m_pipeline.handleMessage(message);
        return;
    }
    if (!m_looping || !m_runMode.is(kRunGo) || m_paused) return;
    m_pipeline.handleMessage(message);
}

void RecordingControl::hotKey(int id) {
    // A hot key that comes while one is handled is passed on unhandled.
    if (m_inHotKey || !m_looping) return;
    m_inHotKey = true;
    switch (m_hotKeys.actionOf(id)) {
    case HotKeySet::End:
        stopCommand();
        break;
    case HotKeySet::Pause:
        pauseOrResume();
        break;
    case HotKeySet::Area:
        toggleArea();
        break;
    case HotKeySet::Manual:
        // The label says "paused" only while it is true (the pause key says so).
        m_manualTimer.start();
        break;
    case HotKeySet::FrontBack:
        frontOrBack();
        break;
    default:
        break;
    }
    m_inHotKey = false;
}

void RecordingControl::pauseOrResume() {
    m_paused = !m_paused;
    const bool hidden = !m_host.isWindowVisible() || m_host.isOutOfTheWay();
    if (m_paused) {
        m_host.setMessageCaption(kPaused, kRed);
        if (hidden) m_host.showPopup(QStringLiteral("キャプチャー停止"), -1);
    } else {
        m_host.setMessageCaption(endHintText(), kBlack);
        if (hidden) m_host.showPopup(QStringLiteral("開始"), -1);
    }
}

void RecordingControl::toggleArea() {
    const bool hidden = !m_host.isWindowVisible() || m_host.isOutOfTheWay();
    m_area.setMode(!m_area.mode());
    if (m_area.mode()) {
        m_host.showMessage(QStringLiteral("範囲選択可"), kBlue);
        if (hidden) m_host.showPopup(QStringLiteral("範囲選択可"), kBlue);
    } else {
        m_host.showMessage(QString(), kBlack);
        if (hidden) m_host.showPopup(QStringLiteral("解除"), -1);
    }
}

void RecordingControl::frontOrBack() {
    NotificationArea& area = m_host.notificationArea();
    if (tray() && area.isAvailable()) {
        if (m_host.isWindowVisible())
            area.add(m_host.trayTip());
        else
            area.remove(true);
    } else if (conf().minimize == 1) {
        m_host.setOutOfTheWay(!m_host.isOutOfTheWay());
        if (!m_host.isOutOfTheWay()) m_host.bringToFront();
    } else if (!m_host.isOutOfTheWay() && m_host.isForeground()) {
        m_host.setOutOfTheWay(true);
    } else {
        m_host.setOutOfTheWay(false);
        m_host.restoreWindow();
        m_host.bringToFront();
    }
}

void RecordingControl::manualCaptureTimer() {
    if (!m_looping) return;
    const std::optional<QRect> area = m_area.takeSelection();
    if (area) m_host.showMessage(QString(), kBlack);
    m_pipeline.manualCapture(area);
}

void RecordingControl::saveMonitorTick() {
    bool clash = false;
    if (!m_monitors.saveTick(QDateTime::currentDateTime(), &clash) && clash && m_options.debug)
        m_host.showProgress(QStringLiteral("記録／保存　バッティング"), 500);
}

void RecordingControl::restartMonitorTick() {
    if (!m_looping || !m_monitors.restartTick(QDateTime::currentDateTime())) return;
    stopCommand();
    m_runMode.set(kRunReStart);
    m_host.setStatus(QStringLiteral("ReStart"));
    writeLog(QStringLiteral("Restart"));
}

bool RecordingControl::tray() const {
    return conf().tasktray == 1 || m_options.tasktray;
}

void RecordingControl::sayOnce(const QString& text) {
    writeLog(text);
    if (m_said.contains(text)) return;
    m_said.append(text);
    m_host.setStatus(text, kRed);
}

} // namespace klavoro
