#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace klavoro {

// What the user does while a long operation lets events run. Input to a
// stoppable operation reaches its stop controls (widgets, shortcuts and
// actions marked with markStopControl) and the modal dialog it asks in; the
// rest is refused with a message. A close of a window waits until the
// operation has ended, and first stops the operation when it can be stopped.
class InputGate : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Says why an input was refused (status line, sound).
        std::function<void(const QString&)> refused;
        // Asks `window` to close again once nothing runs; `fromCloseBox` as
        // the first request was.
        std::function<void(QWidget* window, bool fromCloseBox)> closeAgain;
        // The main window: every close of it waits, not only the close box.
        std::function<QWidget*()> mainWindow;
    };
    explicit InputGate(Hooks hooks, QObject* parent = nullptr);
    ~InputGate() override;

    // Marks a widget, action or shortcut as reachable while a stoppable
    // operation runs.
    static void markStopControl(QObject* control);
    static bool isStopControl(const QObject* object);

    static inline const QString kRefusal = QStringLiteral("「停止」して下さい！");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holdsClose(QObject* watched, QEvent* event);
    bool refusesInput(QObject* watched, QEvent* event);

    Hooks m_hooks;
};

} // namespace klavoro
