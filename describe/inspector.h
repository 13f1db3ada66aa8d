#pragma once

#include "describe/elementinfo.h"
#include "platform/accessibility.h"

#include <QPoint>

namespace klavoro {

class Desktop;

// Element inspection: fills ElementInfo from the accessibility service and
// answers the window questions that capture and phrase composition ask.
class ElementInspector {
public:
    ElementInspector(Accessibility& accessibility, Desktop& desktop)
        : m_accessibility(accessibility), m_desktop(desktop) {}

    // Fills `record` for the element at a screen point; a negative x or y
    // means the focused control. With no element the record keeps its values.
    // `textMag` is the magnification factor (1.0 for 100 %).
    void inspectPoint(ElementInfo& record, QPoint point, double textMag);
    // The same for an element the caller already holds. `sentenceOnly` reads
    // just what a step's marker and sentence need (location, name, role and
    // the parent's), which halves the questions to the application.
    static void inspectObject(ElementInfo& record, AccessibleObject& object, double textMag,
                              bool sentenceOnly = false);

    // The name of the element at a screen point; empty when there is none.
    QString nameAtPoint(QPoint point);
    // The element that stands for a window; null when none.
    AccessibleRef clientObject(WindowId window);
    // The control with the keyboard focus; null when none.
    AccessibleRef focusedControl();
    // The last control that a negative-point inspection used.
    AccessibleRef lastFocusedObject() const { return m_lastFocused; }

    // The top-level window that holds `window` (see windowtree.h).
    WindowId topLevelWindow(WindowId window);

private:
    Accessibility& m_accessibility;
    Desktop& m_desktop;
    AccessibleRef m_lastFocused;
};

// True when the class name equals, ignoring case, one of the comma-separated
// names of `get top window`.
bool isBrowserContent(const QString& className, const QString& browserClasses);

// The top-level window of `window`: walk up the parents until a window that
// is a direct child of the desktop, but stop below a taskbar ("shell_traywnd")
// unless the window itself sits directly in one.
WindowId topLevelWindowOf(Desktop& desktop, WindowId window);

} // namespace klavoro
