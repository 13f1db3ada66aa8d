#pragma once

#include "platform/desktop.h"

#include <QImage>
#include <QPoint>
#include <QString>

namespace klavoro {

class Dialogs;

// The detail fields of the main window for the step just taken.
struct StepDetail {
    QString no; // at least three digits
    QString event;
    QString pos;
    QString sentence;
    QString fileName;
    QString ext;
};

// What the step pipeline shows and asks in the main window.
class StepHost {
public:
    virtual ~StepHost() = default;
    // True for a top-level window of this program: presses there are no steps.
    virtual bool isOwnWindow(WindowId topLevel) = 0;
    // The status line; `colour` blue-green-red (255 is red), 0 black.
    virtual void setStatus(const QString& text, qint32 colour = 0) = 0;
    // The status line and the shared status block.
    virtual void publishStatus(const QString& text) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void showDetail(const StepDetail& detail) = 0;
    // The sentence field alone (a double click rewrote it).
    virtual void showSentence(const QString& sentence) = 0;
    // The event labels: the event kind, or the event name when a step ran.
    virtual void showEvent(const QString& kindOrName, quint32 wParam) = 0;
    // The information labels: point, the window there, the foreground window.
    virtual void showInformation(QPoint eventPoint, WindowId under, WindowId foreground) = 0;
    // A new capture for the viewer (scaled into it when `reduce`).
    virtual void showCapture(const QImage& image, bool reduce) = 0;
    // Step n is in the list now (its image written when it has one).
    virtual void stepCommitted(int /*n*/) {}
    // Step n's thumbnail panel shows its image as saved.
    virtual void markSaved(int n) = 0;
    // The notification-area icon while a step is taken (`icon blink`).
    virtual void setCapturing(bool capturing) = 0;
    // Plays a sound file of the settings (`chime`, `sound start`) without waiting.
    virtual void playSound(const QString& fileName) = 0;
    // The pop-up counter: the number of the next step.
    virtual void showPopupCounter(int next) = 0;
    virtual Dialogs& dialogs() = 0;
};

} // namespace klavoro
