#pragma once

#include "platform/accessibility.h"
#include "record/modifierflags.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

namespace klavoro {

class Desktop;
class ElementInspector;
struct Settings;

// What the step pipeline does on the tracker's behalf.
class TrackerHost {
public:
    virtual ~TrackerHost() = default;
    // A typed-text step: the next number, event "input", no image.
    virtual void writeInputStep(const QString& sentence) = 0;
    // A key step: the next number, event "key"; with a centre (screen
    // pixels) an image centred there under a fresh name, else no image.
    virtual void writeKeyStep(const QString& sentence, std::optional<QPoint> captureCentre) = 0;
    // Lets pending window events run and waits 100 ms, so that a key press
    // reported by the input hook has taken effect in its application.
    virtual void settleKeyPress() = 0;
};

// Follows what the user types into a control and turns it into typed-text
// and key steps. Controls are told apart by accessible element, not by
// window: on X11 one window holds all the controls of a top-level window.
// A password field's content is never read: its typed-text step only says
// that a password was entered.
class InputTracker {
public:
    InputTracker(ElementInspector& inspector, Desktop& desktop, TrackerHost& host,
                 const Settings& settings);

    // Start of recording.
    void reset();
    // Writes the pending typed-text step, if any. True when one was written.
    // The text is what was typed since the field's content was last known:
    // what was inserted into it, or its whole content when more changed.
    bool flush();
    // A button press; `hit` is the element under the pointer (null when the
    // service knows none) and `window` the window there. Any press ends the
    // typed text before it.
    void buttonDown(const AccessibleRef& hit, WindowId window);
    // The same for an element known by its key and name, as it was at the
    // press; `valueAtPress` is a text field's content then.
    void buttonDownOn(const QString& key, const QString& name, WindowId window,
                      const QString& valueAtPress = QString(), bool textField = false);
    // After a mouse step was written without error.
    void mouseStepFinished();
    // A key press with the modifier flags sampled for it. `typedInto` is the
    // control the key went to when the caller knows it better than the focus
    // now (a press has moved on since); null: the focused control.
    void keyDown(int keyCode, const ModifierFlags& flags, bool fromHook,
                 const AccessibleRef& typedInto = nullptr);

    // The state, for the pipeline's display and for tests.
    QString text() const { return m_text; }
    bool nothingTyped() const { return m_text == nothingTypedMark() && !m_secretTyped; }
    QString elementName() const { return m_elementName; }
    QRect trackedRect() const { return m_rect; }
    QString trackedControl() const { return m_trackedControl; }
    // The tracked control is a text field (keys typed go into it).
    bool trackingTextField() const { return m_trackedIsText; }
    QString initialValue() const { return m_initialValue; }
    WindowId foregroundAtPress() const { return m_foregroundAtPress; }

    static QString nothingTypedMark() { return QString(QChar(1)); }
    // What was typed when a field's content went from `before` to `after`:
    // the inserted part when nothing else changed, else the whole content.
    static QString typedPart(const QString& before, const QString& after);

private:
    // The control the key went to: the focused element, else the element of
    // the window under the pointer.
    AccessibleRef focusedOrPointed(WindowId* window);
    static QString controlKey(const AccessibleRef& object, WindowId window);
    std::optional<QPoint> keyCaptureCentre(const AccessibleRef& control);

    ElementInspector& m_inspector;
    Desktop& m_desktop;
    TrackerHost& m_host;
    const Settings& m_settings;

    QString m_text = nothingTypedMark();
    bool m_secretTyped = false;
    QString m_elementName;
    QRect m_rect;
    QString m_trackedControl;
    bool m_trackedIsText = false;
    QString m_initialValue;
    WindowId m_foregroundAtPress = 0;
};

} // namespace klavoro
