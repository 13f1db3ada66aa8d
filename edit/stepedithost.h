#pragma once

#include <QString>

namespace klavoro {

// What deleting, moving and editing steps need of the main window. Every call
// has a do-nothing default so that a host implements only what it has.
class StepEditHost {
public:
    virtual ~StepEditHost() = default;
    // Deleting the selected step acts only while the main window is in front.
    virtual bool isForeground() const { return true; }
    // The text of `txtNo`, and setting it (0 shows as the empty text).
    virtual QString currentStepText() const { return {}; }
    virtual void setCurrentStepText(const QString& /*text*/) {}
    // The number the next recorded step continues from.
    virtual void setRecordingStepNumber(int /*n*/) {}
    // Selects step n in the list and shows it; 0 clears the selection.
    virtual void selectStep(int /*n*/) {}
    virtual void setRedraw(bool /*on*/) {}
    virtual void setStatus(const QString& /*text*/) {}
    // The list's "NoEvent" mark: its own selection handling ignores the change.
    virtual void setListEventsSuppressed(bool /*on*/) {}
    // The thumbnail strip: its first shown step and how many panels fit.
    virtual int stripFirstStep() const { return 1; }
    virtual void setStripFirstStep(int /*n*/) {}
    virtual int stripPanelCount() const { return 1; }
    // The strip's tiles no longer match the list (steps went or moved).
    virtual void refreshStrip() {}
    virtual void setImageSizePanelVisible(bool /*visible*/) {}
    virtual void setKeyBoxVisible(bool /*visible*/) {}
    // Empties both sentence boxes, `txtNo` and the image view.
    virtual void clearStepView() {}
    // Empties the list and the view and loads OpList.txt of the capture folder.
    virtual void reloadList() {}
};

} // namespace klavoro
