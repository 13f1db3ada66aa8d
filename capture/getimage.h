#pragma once

#include "capture/capturearea.h"
#include "platform/desktop.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace klavoro {

class CursorSource;
class Dialogs;
class ScreenCopy;

// The rectangle of the user-interface element at a screen point (screen
// pixels, display scaling applied); an empty rectangle when nothing is known.
class ElementRectSource {
public:
    virtual ~ElementRectSource() = default;
    virtual ScreenRect elementRectAt(QPoint screenPoint) = 0;
};

inline const QString kCaptureCancel = QStringLiteral("%%%% cancel %%%%");
inline const QString kCaptureError = QStringLiteral("%%%% error getimage %%%%");

struct CaptureResult {
    QString result;  // "" on success, kCaptureCancel or kCaptureError
    QImage image;    // with marker and pointer as asked
    QImage unmarked; // the same capture without the marker, when asked for
    QPoint pointer;  // the pointer position read at the start
    ScreenRect area; // the screen area captured
};

// Captures a target area of the screen with the element marker and the
// pointer drawn in, shrunk to the maximum size where the target calls for it.
class CaptureEngine {
public:
    CaptureEngine(Desktop& desktop, ScreenCopy& screen, CursorSource& cursor,
                  ElementRectSource& elements, Dialogs& dialogs);

    // Targets: "around", "window", "desktop", "topwindow", "app", "rect".
    // `withUnmarked` also makes the unmarked picture from the same screen copy.
    CaptureResult GetImage(const QString& target, const QString& eventName, bool noPointer,
                           bool noMarker, bool withUnmarked = false);

    // Start options that switch pointer drawing and the clipboard on.
    bool forceMouseCursor = false;
    bool forceClipboard = false;
    // The area chosen with the area selector, for "rect".
    QRect selectedArea;
    // Captures around this point instead of the pointer (a key step centres
    // its picture on the control); cleared after each capture.
    std::optional<QPoint> atPoint;
    // The number of steps recorded so far, and the pop-up that shows the next one.
    std::function<int()> stepCount;
    std::function<void(int)> showPopupCounter;
    // Paints the redaction boxes on the plain screen copy of `area`, before
    // the marker, the pointer, the unmarked copy and the clipboard see it.
    std::function<void(QImage& image, const QRect& area, QPoint point)> redact;

private:
    struct Pointer {
        QImage image;
        QPoint hotSpot;
    };
    bool computeArea(const QString& target, QPoint p, WindowId reference, ScreenRect* area,
                     ScreenRect* element);
    QImage copyArea(const ScreenRect& area);
    Pointer pointerImage();

    Desktop& m_desktop;
    ScreenCopy& m_screen;
    CursorSource& m_cursor;
    ElementRectSource& m_elements;
    Dialogs& m_dialogs;
};

// The monitor (RandR 1.5, screen pixels) that holds the point `p`, which is in
// screen pixels times `textMag`.
ScreenRect monitorOfPoint(ScreenCopy& screen, QPoint p, double textMag);

// The name of a `target` index: "around", "window", "desktop", "topwindow",
// "app"; any other index gives "around".
QString captureTargetName(int target);

// The window class names, comma-separated, whose top window "window" captures.
bool isTopWindowClass(const QString& className, const QString& getTopWindowSetting);

} // namespace klavoro
