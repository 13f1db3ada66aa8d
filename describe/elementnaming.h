#pragma once

#include "describe/elementinfo.h"
#include "platform/accessibility.h"

#include <QPoint>

namespace klavoro {

class Desktop;

// The element at a point as a manual writer names it.
struct NamedElement {
    bool found = false;
    // Name, role, parent name and role, location (screen pixels, not scaled),
    // the window's title.
    ElementInfo info;
    QString key;
    // The deepest element the point query reached (a search that ran out of
    // time goes on from there).
    QString hitKey;
    // The element's application did not answer in time.
    bool timedOut = false;
};

// The element that a click on `hit` means: the deepest one with a role of
// its own. A nameless filler, panel or pane is only the area around the
// controls, so its nearest meaningful ancestor stands for it.
AccessibleRef meaningfulElement(const AccessibleRef& hit);

// The name a manual writer uses for an element: its own name; else that of
// the labels it is labelled by; else, for fields and lists that the user
// types into or picks from, the nearest label before it in its container.
// A toolkit's class name (GTK 4 names nameless widgets "GtkMenuButton") is
// no name. A name taken from a label loses its closing colon. A labelled
// control whose name says one text twice ("8 8", GTK 4) is named by it once,
// whether or not its label could be read.
QString nameOfElement(AccessibleObject& element);

// Fills the sentence fields of `info` (name, role, parent, location) for
// `element` by the rules above.
void describeElement(ElementInfo& info, AccessibleObject& element);

// The element at a screen point of another application, named; the window
// title is filled in even when no element is found.
NamedElement nameElementAt(Accessibility& accessibility, Desktop& desktop, QPoint point);
// The same for an element a query has found (`hit`, null for none) in the
// window of `windowTitle`.
NamedElement nameHit(Accessibility& accessibility, const AccessibleRef& hit,
                     const QString& windowTitle);

} // namespace klavoro
