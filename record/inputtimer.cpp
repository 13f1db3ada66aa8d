#include "record/inputtimer.h"

#include "record/areaselection.h"
#include "record/eventkind.h"
#include "record/keypoller.h"
#include "record/runmode.h"
#include "store/events.h"

#include <algorithm>

namespace klavoro {

namespace {
constexpr int kIntervalMs = 10;
constexpr int kVkShift = 16, kVkLeftArrow = 37, kVkRightArrow = 39, kVkDelete = 46, kVkS = 83;
} // namespace

InputTimer::InputTimer(KeyPoller& poller, AreaSelection& area, InputTimerHost& host,
                       RunMode& runMode)
    : m_poller(poller), m_area(area), m_host(host), m_runMode(runMode) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &InputTimer::tick);
}

void InputTimer::start() {
    m_timer.start();
}

void InputTimer::stop() {
    m_timer.stop();
}

void InputTimer::tick() {
    const QString kind = m_poller.tick(m_record);
    // A long operation lets this timer run: its shortcuts would change the
    // list under it.
    if (kind == kind::KeyDown && m_runMode.isIdle() && !LongOperations::instance().isRunning() &&
        m_host.isMainWindowForeground())
        shortcut(static_cast<int>(m_record.wParam));
    trackArea(kind);
}

void InputTimer::shortcut(int vk) {
    const ModifierFlags& flags = m_poller.modifiers();
    const int n = m_host.selectedStep();
    switch (vk) {
    case kVkLeftArrow:
        // Before the first step there is no selection.
        m_host.selectStep(n > 1 ? n - 1 : 0);
        break;
    case kVkRightArrow:
        if (m_host.stepCount() > 0) m_host.selectStep(std::min(n + 1, m_host.stepCount()));
        break;
    case kVkDelete:
        if (!flags.alt && !flags.ctrl) m_host.deleteSelectedStep();
        break;
    case kVkS:
        if (flags.ctrl) m_host.saveCurrentStepImage();
        break;
    default:
        break;
    }
}

void InputTimer::trackArea(const QString& kind) {
    if (!m_area.mode()) {
        m_area.setMode(false); // closes what may still show
        return;
    }
    const QPoint p = m_record.pt;
    const int vk = static_cast<int>(m_record.wParam);
    if (kind == kind::LeftDown) {
        m_area.command(QStringLiteral("init"), p);
        m_host.publishStatus(QString());
    } else if (kind == kind::KeyDown) {
        m_host.publishStatus(QString());
        if (vk == kVkShift && !m_poller.modifiers().ctrl) {
            m_area.command(QStringLiteral("init"), p);
            m_area.command(QStringLiteral("start"), p);
        }
    } else if (kind == kind::KeyUp && vk == kVkShift) {
        m_area.command(QStringLiteral("end"), p);
    } else if (kind == kind::Move && m_area.state() == AreaSelection::Selecting) {
        m_area.command(QStringLiteral("move"), p);
    }
}

} // namespace klavoro
