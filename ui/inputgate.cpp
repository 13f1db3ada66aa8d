#include "ui/inputgate.h"

#include "store/events.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

namespace klavoro {

namespace {

const char* const kStopProperty = "klavoroStopControl";

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

bool insideModalDialog(const QObject* object) {
    const QWidget* modal = QApplication::activeModalWidget();
    for (const QObject* o = object; modal && o; o = o->parent())
        if (o == modal) return true;
    return false;
}

} // namespace

InputGate::InputGate(Hooks hooks, QObject* parent) : QObject(parent), m_hooks(std::move(hooks)) {
    qApp->installEventFilter(this);
}

InputGate::~InputGate() {
    qApp->removeEventFilter(this);
}

void InputGate::markStopControl(QObject* control) {
    if (control) control->setProperty(kStopProperty, true);
}

bool InputGate::isStopControl(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent())
        if (o->property(kStopProperty).toBool()) return true;
    return false;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    if (!LongOperations::instance().isRunning()) return false;
    if (event->type() == QEvent::Close) return holdsClose(watched, event);
    return refusesInput(watched, event);
}

bool InputGate::holdsClose(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow()) return false;
    const bool fromCloseBox = event->spontaneous();
    // The program closes its own notices and dialogs as it goes; only the
    // user's close and any close of the main window wait.
    const bool isMain = m_hooks.mainWindow && window == m_hooks.mainWindow();
    if (!fromCloseBox && !isMain) return false;
    event->ignore();
    LongOperations& ops = LongOperations::instance();
    QPointer<QWidget> target(window);
    ops.whenDone([this, target, fromCloseBox] {
        if (target && m_hooks.closeAgain) m_hooks.closeAgain(target, fromCloseBox);
    });
    if (isMain) ops.holdClose();
    ops.stopAll();
    return true;
}

bool InputGate::refusesInput(QObject* watched, QEvent* event) {
    // Without a stop control input never arrives here: it waits in the
    // window system's queue (see letEventsRun).
    if (!isUserInput(event->type())) return false;
    // The window system's input reaches the window first, which hands it on
    // to the widget under the pointer or with the focus: judged there.
    if (watched->isWindowType()) return false;
    if (isStopControl(watched) || insideModalDialog(watched)) return false;
    if (event->type() == QEvent::MouseButtonPress && m_hooks.refused) m_hooks.refused(kRefusal);
    return true;
}

} // namespace klavoro
