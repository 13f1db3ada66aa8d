#pragma once

#include "describe/elementinfo.h"
#include "platform/cursorsource.h"
#include "platform/desktop.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

namespace klavoro {

struct ScreenTextScan;

// One window as it was at a press.
struct WindowFact {
    WindowId id = 0;
    WindowId parent = 0;
    WindowId topLevel = 0;
    QString className;
    QString title;
    QRect rect;
    qint64 processId = 0;
};

// The desktop at the moment of a press, taken by the input hook before the
// clicked application could react (when the press was held) or as soon as
// the hook learnt of it (when it was not).
struct PressSnapshot {
    enum class Hold {
        Held,      // the application got the press only after this was taken
        NotHeld,   // another client had the pointer, or holding failed
        OwnWindow, // a press on one of our windows: passed on at once, nothing taken
    };
    Hold hold = Hold::NotHeld;
    // Why a press was not held, for the execution log.
    QString notHeldReason;
    QPoint point; // screen pixels, exact

    QImage screen;    // null when it could not be copied
    QRect screenArea; // where `screen` lies: the whole screen, or the box around the pointer
    CursorImage cursor;
    QSize screenSize;
    QList<QRect> monitors; // as they were at the press
    WindowId desktopWindow = 0;
    WindowId windowAt = 0;
    // windowAt, its parents up to the top-level window, and that window's owner.
    QList<WindowFact> windows;

    // The element at the point: location in screen pixels (not yet scaled).
    bool elementFound = false;
    ElementInfo element;
    QString elementKey;
    QString elementHitKey; // where the point query got to
    // The element's application did not answer in time.
    bool elementTimedOut = false;
    // Read (in part) after the press was passed on: the application may have
    // reacted by then.
    bool elementLate = false;
    // The element was looked for in this top-level window, not in the one
    // at the point (the end of a drag over a popup its press opened).
    WindowId elementWindow = 0;

    // The texts to redact in `screenArea`, read with the picture (none when
    // redaction is off).
    std::shared_ptr<const ScreenTextScan> texts;

    // How long the press was held back from its application.
    double holdMs = 0;

    const WindowFact* window(WindowId id) const {
        for (const WindowFact& w : windows)
            if (w.id == id) return &w;
        return nullptr;
    }
};

} // namespace klavoro
