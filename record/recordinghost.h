#pragma once

#include "record/stephost.h"

#include <QString>

namespace klavoro {

class NotificationArea;

// What the recording control does to the main window, on top of what the
// step pipeline shows.
class RecordingHost : public StepHost {
public:
    // --- the start command ---
    virtual void unmarkedFolderCheck() = 0;
    virtual void relayout() = 0;
    virtual void setImageSizePanelVisible(bool visible) = 0;
    // The number in the step-number field (txtNo); 0 when it holds none.
    virtual int stepNumberField() = 0;
    // Deletes every step with its files, without asking. False when that
    // could not be done (nothing was deleted then).
    virtual bool deleteAllSteps() = 0;
    // After the deletion: the step number 0, the sentence boxes empty, the
    // picture cleared, the key box hidden.
    virtual void clearForNewList() = 0;

    // --- the window while recording ---
    // Out of the way: it must neither show in a capture nor take a click
    // meant for another application. Back: as it was.
    virtual void setOutOfTheWay(bool out) = 0;
    virtual bool isOutOfTheWay() = 0;
    virtual void minimizeWindow() = 0;
    virtual void restoreWindow() = 0; // from minimised
    virtual void setWindowVisible(bool visible) = 0;
    virtual bool isWindowVisible() = 0;
    virtual bool isForeground() = 0;
    virtual void bringToFront() = 0;
    virtual NotificationArea& notificationArea() = 0;
    // The tip of the notification-area icon.
    virtual QString trayTip() = 0;
    // Closes the main window for good (the program ends).
    virtual void unloadMainWindow() = 0;

    // --- labels and buttons ---
    // The message label: showing a text keeps the previous caption, the empty
    // text brings it back in black.
    virtual void showMessage(const QString& text, qint32 colour) = 0;
    // Sets the message label outright.
    virtual void setMessageCaption(const QString& text, qint32 colour) = 0;
    virtual void restoreTitle() = 0;
    // Start, play, settings and folder buttons off and stop on while recording.
    virtual void setRecordingButtons(bool recording) = 0;
    // The pop-up message window (closing itself).
    virtual void showPopup(const QString& text, qint32 colour) = 0;
    virtual void closePopup() = 0;
    // The progress window for `ms` milliseconds.
    virtual void showProgress(const QString& text, int ms) = 0;
};

} // namespace klavoro
