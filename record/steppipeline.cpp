#include "record/steppipeline.h"

#include "capture/capturearea.h"
#include "capture/monitorlayout.h"
#include "describe/elementnaming.h"
#include "describe/eventname.h"
#include "describe/phrase.h"
#include "platform/accessibility.h"
#include "platform/desktop.h"
#include "record/eventkind.h"
#include "record/keypoller.h"
#include "record/stephost.h"
#include "record/waitmarker.h"
#include "store/capturefolder.h"
#include "store/logs.h"
#include "store/settings.h"

#include <QElapsedTimer>
#include <QRect>

#include <cmath>

namespace klavoro {

namespace {
constexpr int kVkLeft = 1, kVkRight = 2, kVkMiddle = 4;
constexpr int kDragDistance = 5;
// A key has reached its application this long after the hook saw it.
constexpr int kKeySettleMs = 100;
// The window a press brought up takes a moment to get the focus.
constexpr int kFocusCheckMs = 300;
// Moves come by the hundred: their labels are refreshed this often.
constexpr int kMoveInfoMs = 100;

qint64 nowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

QPoint scaled(QPoint p, double m) {
    return {static_cast<int>(std::nearbyint(p.x() * m)),
            static_cast<int>(std::nearbyint(p.y() * m))};
}

QString positionText(QPoint p) {
    return QString::number(p.x()) + ',' + QString::number(p.y());
}

bool isPressKind(const QString& kind) {
    return kind == kind::LeftDown || kind == kind::RightDown || kind == kind::MiddleDown;
}
bool isDoubleClickKind(const QString& kind) {
    return kind == kind::LeftDblClk || kind == kind::RightDblClk || kind == kind::MiddleDblClk;
}
bool isReleaseKind(const QString& kind) {
    return kind == kind::LeftUp || kind == kind::RightUp || kind == kind::MiddleUp;
}
// 1 left, 2 right, 3 middle; 0 for anything that is no button event.
int buttonOf(const QString& kind) {
    if (kind.startsWith(QLatin1String("LEFT_"))) return 1;
    if (kind.startsWith(QLatin1String("RIGHT_"))) return 2;
    if (kind.startsWith(QLatin1String("MIDDLE_"))) return 3;
    return 0;
}
// MK_LBUTTON, MK_RBUTTON, MK_MBUTTON in the lParam of a move.
constexpr quint32 kButtonFlags = 0x01 | 0x02 | 0x10;
} // namespace

StepPipeline::StepPipeline(const RecordingServices& services, KeyPoller& poller, StepList& steps,
                           OperationList& opList, StepHost& host, const RecordingOptions& options)
    : m_services(services), m_poller(poller), m_host(host), m_options(options),
      m_inspector(services.accessibility, services.desktop), m_frozen(services.screen),
      m_frozenDesktop(services.desktop), m_frozenCursor(services.cursor),
      m_engine(m_frozenDesktop, m_frozen, m_frozenCursor, *this, host.dialogs()),
      m_redaction(services.screenText), m_tracker(m_inspector, services.desktop, *this, conf()),
      m_committer(steps, opList, host, options) {
    m_keyTimer.setSingleShot(true);
    connect(&m_keyTimer, &QTimer::timeout, this, [this] { runKeyJobs(false); });
    m_focusTimer.setSingleShot(true);
    m_focusTimer.setInterval(kFocusCheckMs);
    connect(&m_focusTimer, &QTimer::timeout, this, [this] { focusCheck(); });
    m_engine.stepCount = [this] { return m_committer.stepNumber() + m_committer.inFlight(); };
    m_engine.showPopupCounter = [this](int next) { m_host.showPopupCounter(next); };
    m_engine.redact = [this](QImage& image, const QRect& area, QPoint point) {
        // Texts read with the press's picture stand where the picture shows them.
        const ScreenTextScan* atPress = m_snapshot ? m_snapshot->texts.get() : nullptr;
        m_redaction.apply(image, area, point, atPress);
    };
}

StepPipeline::~StepPipeline() = default;

void StepPipeline::start(int stepNumber) {
    m_previousPoint = QPoint();
    m_dragCandidate = false;
    m_pressed.fill(false);
    m_keyJobs.clear();
    m_keyTimer.stop();
    m_focusTimer.stop();
    m_tracker.reset();
    m_engine.forceMouseCursor = m_options.mouse;
    m_engine.forceClipboard = m_options.clipboard;
    m_committer.start(stepNumber);
}

void StepPipeline::stop() {
    runKeyJobs(true);
    focusCheck();
    // Text typed just before stopping is a step like any other.
    m_tracker.flush();
    m_committer.finish();
    m_committer.stop();
}

void StepPipeline::handleMessage(const InputMessage& message) {
    // While the maximum question is open recording waits for its answer.
    if (m_committer.isAsking()) return;
    const QString kind = eventKindOf(message.message, message.wParam, message.lParam);
    const QPoint point = scaled(message.pt, conf().textMag);
    const std::shared_ptr<const PressSnapshot>& snapshot = message.snapshot;
    // A press on one of our own windows: the hook took nothing there.
    if (snapshot && snapshot->hold == PressSnapshot::Hold::OwnWindow) {
        m_host.showInformation(point, 0, m_services.desktop.foregroundWindow());
        return;
    }

    if (message.message == kHookMouse && kind == kind::Move) {
        // The hook sends the buttons held with the move, as they were then.
        m_dragCandidate = (message.lParam & kButtonFlags) != 0 || m_poller.isKeyDown(kVkLeft) ||
                          m_poller.isKeyDown(kVkRight) || m_poller.isKeyDown(kVkMiddle);
        const qint64 now = nowMs();
        if (now - m_lastMoveInfo >= kMoveInfoMs) {
            m_lastMoveInfo = now;
            m_host.showInformation(point, m_services.desktop.windowAt(message.pt),
                                   m_services.desktop.foregroundWindow());
        }
        return;
    }

    // A press, or the release that ends a drag, is a step: its screen first.
    // The drag is measured from the press of the same button, whatever came
    // in between (an activation message has a point of its own).
    const int button = buttonOf(kind);
    const QPoint pressedAt = m_pressPoint[button];
    const bool drag = isReleaseKind(kind) && m_dragCandidate && m_pressed[button] &&
                      (std::abs(point.x() - pressedAt.x()) >= kDragDistance ||
                       std::abs(point.y() - pressedAt.y()) >= kDragDistance);
    if (isPressKind(kind) || drag) freezeFor(point, snapshot);
    struct Thaw {
        StepPipeline& pipeline;
        ~Thaw() { pipeline.thaw(); }
    } thaw{*this};

    Desktop& desktop = m_frozenDesktop;
    const WindowId under = desktop.windowAt(message.pt);
    auto information = [&] { m_host.showInformation(point, under, desktop.foregroundWindow()); };
    // Keys are never mouse steps; key-down feeds the typed-text tracker.
    if (kind.contains(QLatin1String("KEY_"))) {
        if (kind == kind::KeyDown) keyDown(message);
        information();
        return;
    }
    if (m_host.isOwnWindow(topLevelWindowOf(desktop, under))) {
        information();
        return;
    }
    if (snapshot && (isPressKind(kind) || isDoubleClickKind(kind) || drag)) logPress(*snapshot);

    QString shown = kind;
    if (isPressKind(kind) || isDoubleClickKind(kind)) {
        m_pressPoint[button] = point;
        m_pressed[button] = true;
    }
    if (isPressKind(kind)) {
        runKeyJobs(true, true);
        focusCheck();
        shown = MakeEventName(kind, 0, m_services.keys, m_host.dialogs());
        // A window the press brings up gets the focus a moment later: the
        // tracker looks at the focus then, or before the next key or press.
        if (runStep(shown, message).isEmpty()) m_focusTimer.start();
    } else if (isDoubleClickKind(kind)) {
        shown = MakeEventName(kind, 0, m_services.keys, m_host.dialogs());
        mergeDoubleClick(shown, *this);
    } else if (isReleaseKind(kind)) {
        m_pressed[button] = false;
        if (m_dragCandidate) {
            m_dragCandidate = false;
            if (drag) {
                QString dragKind = kind;
                dragKind.replace(QLatin1String("_UP"), QLatin1String("_DRAG"));
                runKeyJobs(true);
                shown = MakeEventName(dragKind, 0, m_services.keys, m_host.dialogs());
                runStep(shown, message);
            }
        }
    }
    m_host.showEvent(shown, message.wParam);
    m_previousPoint = point;
    information();
}

QString StepPipeline::runStep(const QString& eventName, const InputMessage& message) {
    const Settings& s = conf();
    deleteWaitMarker();
    const QString target = captureTargetName(s.target);
    m_capturing = true;
    if (s.iconBlink == 1) m_host.setCapturing(true);
    m_host.setStatus(QStringLiteral("取得中・・・"));

    const bool press = message.message == kHookMouse && isPressKind(mouseKindOf(message.wParam));
    PendingStep step;
    step.eventName = eventName;
    const bool noCapture =
        eventName.section(u'+', 0, 0).compare(QLatin1String("key"), Qt::CaseInsensitive) == 0;
    CaptureResult captured;
    if (!noCapture) {
        // The picture is taken around the point of the press, even when the
        // pointer has moved on before the message came.
        m_engine.atPoint = scaled(message.pt, s.textMag);
        captured = m_engine.GetImage(target, eventName, false, false, s.noRectFile == 1);
        if (!captured.result.isEmpty()) {
            m_host.setStatus(captured.result);
            step.kind = PendingStep::Kind::Failed;
            runKeyJobs(true);
            m_committer.submit(std::move(step));
            m_capturing = false;
            return captured.result;
        }
        step.images = {captured.image, captured.unmarked, target, m_services.desktop.screenSize()};
        m_lastCapture = step.images;
        step.imageName = m_namer.makeName(captureFolder());
        step.extension = imageExtensionFor(s.saveFileFormat);
    }
    step.sentence =
        mouseSentence(eventName, modifierPhrase(m_poller.modifiers()), m_info, s, m_host.dialogs())
            .value_or(QString());
    step.position = positionText(message.pt);
    // Typed text and keys from before the press are steps before it.
    runKeyJobs(true);
    if (press)
        m_tracker.buttonDownOn(m_hitKey, m_info.name, m_frozenDesktop.windowAt(message.pt),
                               m_info.value, m_info.roleNumber.toInt() == role::Text);
    m_committer.submit(std::move(step));
    m_capturing = false;
    return {};
}

void StepPipeline::freezeFor(QPoint point, const std::shared_ptr<const PressSnapshot>& snapshot) {
    if (snapshot && !snapshot->screen.isNull()) {
        m_snapshot = snapshot;
        m_frozen.freezeImage(snapshot->screen, snapshot->screenArea, snapshot->monitors);
        m_frozenDesktop.freeze(snapshot);
        m_frozenCursor.freeze(snapshot);
        return;
    }
    const Settings& s = conf();
    const QSize screen = m_services.screen.screenSize();
    // Monitors are asked for at every press, so a change while recording
    // counts from the next press on.
    const QList<QRect> monitors = m_services.screen.monitors();
    if (captureTargetName(s.target) == QLatin1String("around")) {
        const QRect whole(QPoint(0, 0), screen);
        const QPoint at = s.textMag > 0 ? QPoint(int(std::nearbyint(point.x() / s.textMag)),
                                                 int(std::nearbyint(point.y() / s.textMag)))
                                        : point;
        const QRect monitor = monitorAt(monitors, at, whole);
        const ScreenRect a =
            aroundAreaOn(point,
                         ScreenRect{monitor.left(), monitor.top(), monitor.x() + monitor.width(),
                                    monitor.y() + monitor.height()},
                         s.textMag, s.rectLeft, s.rectTop, s.rectRight, s.rectBottom);
        m_frozen.freeze(QRect(a.left, a.top, a.width(), a.height()), monitors);
    } else {
        // Any other target needs windows first: the whole screen, cut later.
        m_frozen.freeze(QRect(QPoint(0, 0), screen), monitors);
    }
}

QString StepPipeline::manualCapture(const std::optional<QRect>& area) {
    const Settings& s = conf();
    const QString target = area ? QStringLiteral("rect") : captureTargetName(s.target);
    deleteWaitMarker();
    m_capturing = true;
    m_engine.selectedArea = area.value_or(QRect());
    const CaptureResult captured =
        m_engine.GetImage(target, QString(), s.manualCaptureMouse != 1, false, s.noRectFile == 1);
    m_capturing = false;
    if (!captured.result.isEmpty()) {
        // No step, and the number stays.
        m_host.setStatus(captured.result);
        if (m_committer.inFlight() == 0 && m_committer.isActive()) createWaitMarker();
        return captured.result;
    }
    runKeyJobs(true);
    PendingStep step;
    step.kind = PendingStep::Kind::Manual;
    step.images = {captured.image, captured.unmarked, target, m_services.desktop.screenSize()};
    m_lastCapture = step.images;
    step.position = positionText(captured.pointer);
    step.imageName = m_namer.makeName(captureFolder());
    step.extension = imageExtensionFor(s.saveFileFormat);
    m_committer.submit(std::move(step));
    return {};
}

void StepPipeline::thaw() {
    m_frozen.thaw();
    m_frozenDesktop.thaw();
    m_frozenCursor.thaw();
    m_snapshot.reset();
}

void StepPipeline::logPress(const PressSnapshot& snapshot) {
    const QString where = positionText(snapshot.point);
    if (snapshot.hold == PressSnapshot::Hold::NotHeld && !snapshot.notHeldReason.isEmpty())
        writeExeLog(
            QStringLiteral("押下を保留できませんでした (%1): %2。画像と要素は押下の直後のものです")
                .arg(where, snapshot.notHeldReason));
    if (snapshot.elementTimedOut)
        writeExeLog(QStringLiteral("要素の情報が時間内に得られませんでした (%1)").arg(where));
    else if (snapshot.elementLate && snapshot.hold == PressSnapshot::Hold::Held)
        writeExeLog(QStringLiteral("要素は押下を渡した後に読み取りました (%1)").arg(where));
}

ScreenRect StepPipeline::elementRectAt(QPoint screenPoint) {
    if (m_forcedRect) return *m_forcedRect;
    NamedElement named;
    if (m_snapshot) {
        // As it was at the press: read by the hook before the application saw it.
        named.found = m_snapshot->elementFound;
        named.info = m_snapshot->element;
        named.key = m_snapshot->elementKey;
    } else {
        named = nameElementAt(m_services.accessibility, m_services.desktop, screenPoint);
    }
    const double m = conf().textMag;
    m_info = named.info;
    m_info.left = scaleByTextMag(named.info.left, m);
    m_info.top = scaleByTextMag(named.info.top, m);
    m_info.width = scaleByTextMag(named.info.width, m);
    m_info.height = scaleByTextMag(named.info.height, m);
    m_hitKey = named.found ? named.key : QString();
    return {m_info.left, m_info.top, m_info.left + m_info.width, m_info.top + m_info.height};
}

void StepPipeline::keyDown(const InputMessage& message) {
    Desktop& desktop = m_services.desktop;
    if (m_host.isOwnWindow(topLevelWindowOf(desktop, desktop.foregroundWindow()))) return;
    const int vk = static_cast<int>(message.wParam & 0xFF);
    const ModifierFlags flags = m_poller.modifiers();
    const bool ctrl = flags.ctrl || (message.lParam & kKeyCtrlFlag);
    const bool shift = flags.shift || (message.lParam & kKeyShiftFlag);
    if (ctrl && shift && isHotKey && isHotKey(vk)) return;
    const Settings& s = conf();
    if (s.keyRecord == 0) return;
    const QString cls = keyClass(vk, s.keyRecordChar);
    if (cls != QLatin1String("data") && cls != QLatin1String("control")) return;
    // The key is read from its application once it has taken effect there;
    // a press meanwhile is captured at once and takes the key along first.
    m_keyJobs.push_back({vk, flags, nowMs() + kKeySettleMs, cls == QLatin1String("data")});
    scheduleKeyJobs();
}

void StepPipeline::scheduleKeyJobs() {
    if (m_keyJobs.empty()) return;
    if (!m_keyTimer.isActive())
        m_keyTimer.start(static_cast<int>(std::max<qint64>(0, m_keyJobs.front().due - nowMs())));
}

void StepPipeline::runKeyJobs(bool all, bool beforePress) {
    if (m_capturing && !all) {
        m_keyTimer.start(10); // a capture in progress let events run: after it
        return;
    }
    m_keyTimer.stop();
    // Keys typed after a press into a field go to that field: it is read
    // directly, not found again by a search for the focus.
    AccessibleRef tracked;
    if ((beforePress || m_tracker.trackingTextField()) && !m_keyJobs.empty()) {
        const QString key = m_tracker.trackedControl();
        if (!key.isEmpty() && !key.startsWith(QLatin1String("window:")))
            tracked = m_services.accessibility.objectByKey(key);
    }
    while (!m_keyJobs.empty() && (all || m_keyJobs.front().due <= nowMs())) {
        const KeyJob job = m_keyJobs.front();
        m_keyJobs.pop_front();
        focusCheck();
        m_tracker.keyDown(job.vk, job.flags, false, job.data ? tracked : nullptr);
    }
    scheduleKeyJobs();
}

void StepPipeline::focusCheck() {
    if (!m_focusTimer.isActive()) return;
    m_focusTimer.stop();
    m_tracker.mouseStepFinished();
}

void StepPipeline::writeInputStep(const QString& sentence) {
    PendingStep step;
    step.eventName = QStringLiteral("input");
    step.sentence = sentence;
    m_committer.submit(std::move(step));
}

void StepPipeline::writeKeyStep(const QString& sentence, std::optional<QPoint> captureCentre) {
    const Settings& s = conf();
    PendingStep step;
    step.eventName = QStringLiteral("key");
    step.sentence = sentence;
    if (captureCentre) {
        const QRect r = m_tracker.trackedRect();
        if (r.width() > 0) {
            const double m = s.textMag;
            m_forcedRect = ScreenRect{scaleByTextMag(r.left(), m), scaleByTextMag(r.top(), m),
                                      scaleByTextMag(r.left() + r.width(), m),
                                      scaleByTextMag(r.top() + r.height(), m)};
        } else {
            m_forcedRect = ScreenRect{};
        }
        m_engine.atPoint = *captureCentre;
        const bool wasCapturing = m_capturing;
        m_capturing = true;
        const CaptureResult captured = m_engine.GetImage(QStringLiteral("around"), step.eventName,
                                                         true, false, s.noRectFile == 1);
        m_capturing = wasCapturing;
        m_forcedRect.reset();
        if (captured.result.isEmpty()) {
            step.images = {captured.image, captured.unmarked, QStringLiteral("around"),
                           m_services.desktop.screenSize()};
            step.imageName = m_namer.makeName(captureFolder());
            step.extension = imageExtensionFor(s.saveFileFormat);
            step.position = positionText(*captureCentre);
        }
    }
    deleteWaitMarker();
    m_committer.submit(std::move(step));
}

} // namespace klavoro
