#pragma once

#include <QString>

namespace klavoro {

// The step pipeline's own record of the last step it recorded.
class LastRecordedStep {
public:
    virtual ~LastRecordedStep() = default;
    // Event name of the last recorded step ("Left", "Left+Ctrl", "input",
    // "key", ...); empty when nothing was recorded yet.
    virtual QString lastEventName() const = 0;
    virtual QString lastSentence() const = 0;
    // Replaces that step's sentence in the step list and in the detail field.
    virtual void replaceLastSentence(const QString& sentence) = 0;
};

// A double-click never makes a step of its own: when the last recorded step
// was a click of the same button, its sentence says ダブルクリック instead.
// `eventName` is the double-click's event name ("Left", "Right+Shift", ...).
// True when the sentence was rewritten.
bool mergeDoubleClick(const QString& eventName, LastRecordedStep& last);

} // namespace klavoro
