#include "describe/inputtracker.h"

#include "describe/eventname.h"
#include "describe/inspector.h"
#include "describe/keynames.h"
#include "describe/phrase.h"
#include "platform/desktop.h"
#include "store/settings.h"

#include <cmath>

namespace klavoro {

InputTracker::InputTracker(ElementInspector& inspector, Desktop& desktop, TrackerHost& host,
                           const Settings& settings)
    : m_inspector(inspector), m_desktop(desktop), m_host(host), m_settings(settings) {}

void InputTracker::reset() {
    m_text = nothingTypedMark();
    m_secretTyped = false;
    m_rect = QRect();
    m_initialValue.clear();
}

QString InputTracker::typedPart(const QString& before, const QString& after) {
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // `before` survives whole around one inserted piece.
    if (prefix + suffix == before.size() && after.size() > before.size())
        return after.mid(prefix, after.size() - prefix - suffix);
    return after;
}

bool InputTracker::flush() {
    const bool typed = m_secretTyped || (m_text != nothingTypedMark() && m_text != m_initialValue);
    if (!typed) return false;
    const QString sentence = m_secretTyped
                                 ? passwordSentence(m_settings)
                                 : typedTextSentence(typedPart(m_initialValue, m_text), m_settings);
    // Forget the text before handing it on, so that no second flush repeats
    // it; the content written is what the next text is told apart from.
    if (!m_secretTyped) m_initialValue = m_text;
    m_text = nothingTypedMark();
    m_secretTyped = false;
    m_host.writeInputStep(windowNamePrefix(m_elementName, sentence, m_settings));
    return true;
}

void InputTracker::buttonDown(const AccessibleRef& hit, WindowId window) {
    if (!hit) {
        buttonDownOn(QString(), QString(), window);
        return;
    }
    const bool field = hit->role() == role::Text && !(hit->state() & state::Protected);
    buttonDownOn(hit->key(), hit->name(), window, field ? hit->value() : QString(), field);
}

void InputTracker::buttonDownOn(const QString& elementKey, const QString& name, WindowId window,
                                const QString& valueAtPress, bool textField) {
    m_foregroundAtPress = m_desktop.foregroundWindow();
    // A press anywhere ends the text typed before it, in its place.
    flush();
    const QString key =
        !elementKey.isEmpty() ? elementKey
                              : (window ? QStringLiteral("window:%1").arg(window) : QString());
    if (key == m_trackedControl) return;
    m_text = nothingTypedMark();
    m_secretTyped = false;
    m_initialValue = valueAtPress;
    m_trackedIsText = textField && !elementKey.isEmpty();
    if (!elementKey.isEmpty()) {
        m_elementName = name;
    } else {
        const AccessibleRef client = m_inspector.clientObject(window);
        m_elementName = client ? client->name() : QString();
    }
    m_trackedControl = key;
}

void InputTracker::mouseStepFinished() {
    if (m_desktop.foregroundWindow() == m_foregroundAtPress) return;
    const AccessibleRef focused = m_inspector.focusedControl();
    if (!focused) return;
    m_elementName = focused->name();
    m_rect = focused->location();
}

void InputTracker::keyDown(int keyCode, const ModifierFlags& flags, bool fromHook,
                           const AccessibleRef& typedInto) {
    if (m_settings.keyRecord == 0) return;
    const QString cls = keyClass(keyCode, m_settings.keyRecordChar);
    // Modifiers and code 0 change nothing; they need not wait for the key either.
    if (cls != QLatin1String("data") && cls != QLatin1String("control")) return;
    if (fromHook) m_host.settleKeyPress();
    WindowId window = 0;
    const AccessibleRef control = typedInto ? typedInto : focusedOrPointed(&window);

    if (cls == QLatin1String("data")) {
        if (control && (control->state() & state::Protected)) {
            m_secretTyped = true;
        } else {
            m_text = control ? control->value() : QString();
        }
        return;
    }

    const QString key = controlKey(control, window);
    if (key == m_trackedControl) return;
    const bool wroteText = flush();
    if (control && control->role() == role::Text && !(control->state() & state::Protected))
        m_initialValue = control->value();
    else
        // A control without text starts from nothing; a stale value would
        // make the next flush report the empty text as typed.
        m_initialValue.clear();
    m_text = nothingTypedMark();
    m_secretTyped = false;
    const std::optional<QPoint> centre =
        m_settings.keyCapture == 1 ? keyCaptureCentre(control) : std::nullopt;
    if (wroteText) m_elementName.clear();
    const QString sentence = keySentence(keyName(keyCode), modifierPhrase(flags), m_settings);
    m_host.writeKeyStep(windowNamePrefix(m_elementName, sentence, m_settings), centre);
    m_elementName = control ? control->name() : QString();
    m_rect = control ? control->location() : QRect();
    m_trackedControl = key;
    m_trackedIsText = control && control->role() == role::Text;
}

AccessibleRef InputTracker::focusedOrPointed(WindowId* window) {
    if (AccessibleRef focused = m_inspector.focusedControl()) return focused;
    *window = m_desktop.windowAt(m_desktop.pointerPosition());
    return m_inspector.clientObject(*window);
}

QString InputTracker::controlKey(const AccessibleRef& object, WindowId window) {
    if (object) return object->key();
    return window ? QStringLiteral("window:%1").arg(window) : QString();
}

std::optional<QPoint> InputTracker::keyCaptureCentre(const AccessibleRef& control) {
    QRect r = m_rect;
    if (r.width() == 0) r = control ? control->location() : QRect();
    const auto mid = [](int start, int length) {
        return static_cast<int>(std::nearbyint(start + length / 2.0));
    };
    return QPoint(mid(r.x(), r.width()), mid(r.y(), r.height()));
}

} // namespace klavoro
