// Finding an open popup (a menu, a drop-down's list) in an application's
// tree: toolkits hang it below what opened it, not among their windows.
// GIO and AT-SPI first: Qt's keyword macros break their headers.
#include <atspi/atspi-constants.h>
#include <gio/gio.h>

#include "platform/x11/atspiaccessibility.h"

#include "platform/desktop.h"
#include "platform/x11/atspireplies.h"
#include "platform/x11/atspiroles.h"

#include <QQueue>

namespace klavoro::x11 {

namespace {

using ElementRef = std::shared_ptr<AtspiElement>;

using atspireplies::has;

// Menus and the lists of open combo boxes.
bool isPopup(int role) {
    return role == 11 || role == 33 || role == 35;
}

// Elements below which a toolkit hangs a popup when it opens.
bool opensPopups(int role) {
    return role == 2 || role == 12 || role == 46 || role == 57 || role == 22;
}

// Controls that never hold an open menu or list below them: a search for a
// popup need not look inside.
bool isLeafControl(int role, quint64 states) {
    switch (role) {
    case 29: // cell
    case 34: // list item
    case 36: // tree item
    case 40: // image
    case 41: // static text
    case 42: // editable text
    case 44: // check box
    case 45: // radio button
    case 48: // progress bar
    case 51: // slider
    case 52: // spin button
        return true;
    case 43: // push button, unless it opens a menu
        return !has(states, ATSPI_STATE_HAS_POPUP);
    default:
        return false;
    }
}

} // namespace

std::shared_ptr<AtspiElement> AtspiAccessibility::openPopupAt(AtspiElement& app, QPoint point) {
    // An open menu or drop-down list is not one of the application's windows
    // in every toolkit: it hangs below the item that opened it. Walk the
    // showing elements and take the deepest one at the point that lies in a
    // menu or a list. Menus and the items that open them are walked first;
    // once a popup is found and explored, the rest of the window is not.
    struct Node {
        ElementRef element;
        bool inPopup;
    };
    QQueue<Node> urgent, later;
    const auto enqueue = [&](ElementRef element, bool inPopup) {
        const int number = roleFromAtspi(element->atspiRole());
        if (inPopup || opensPopups(number) || isPopup(number))
            urgent.enqueue({std::move(element), inPopup});
        else
            later.enqueue({std::move(element), inPopup});
    };
    for (ElementRef& top : app.childrenWithShape())
        urgent.enqueue({std::move(top), false});
    ElementRef found;
    for (int visited = 0; visited < kMaxVisited; ++visited) {
        if (urgent.isEmpty() && (found || later.isEmpty())) break;
        const Node node = urgent.isEmpty() ? later.dequeue() : urgent.dequeue();
        AtspiElement& e = *node.element;
        const quint64 states = e.atspiStates();
        if (!has(states, ATSPI_STATE_SHOWING)) continue;
        const int number = roleFromAtspi(e.atspiRole());
        const bool popup = node.inPopup || isPopup(number);
        // Extents cost a call; only elements in a popup need them.
        const bool contains = popup && e.location().contains(point);
        if (contains) found = node.element;
        if (isLeafControl(number, states)) continue;
        // Long lists are entered only where the point is.
        if (has(states, ATSPI_STATE_MANAGES_DESCENDANTS) && !contains) continue;
        // In a menu bar and inside a popup only the menus that are open and
        // the items at the point matter: the rest is never asked about.
        const bool selective = number == 2 || popup;
        for (ElementRef& child : e.childrenWithShape()) {
            if (selective) {
                const quint64 st = child->atspiStates();
                const bool open = has(st, ATSPI_STATE_SELECTED) || has(st, ATSPI_STATE_EXPANDED) ||
                                  has(st, ATSPI_STATE_FOCUSED) || has(st, ATSPI_STATE_ARMED);
                if (!has(st, ATSPI_STATE_SHOWING) ||
                    (!open && !child->location().contains(point)))
                    continue;
            }
            enqueue(std::move(child), popup);
        }
        if (e.budget()->gaveUp()) break;
    }
    return found;
}

std::shared_ptr<AtspiElement> AtspiAccessibility::gtk4PopoverOf(AtspiElement& app,
                                                                WindowId window) {
    // A GTK 4 popover (a menu, a drop-down's list) is a surface of its own on
    // X11 but hangs in the tree below what opened it. Its extents have the
    // popover's size and stand where its opener does; what lies in it is
    // told from there, as laid out in the popover's own surface. It is the
    // element of the X window's size, looked for below menus and buttons first.
    const QRect xRect = m_desktop.contentRect(window);
    if (xRect.isEmpty()) return nullptr;
    QQueue<ElementRef> urgent, later;
    for (ElementRef& top : app.childrenWithShape())
        if (isWindowRole(top->atspiRole()) && top->isShowing()) urgent.enqueue(std::move(top));
    ElementRef popover;
    for (int visited = 0; visited < kMaxVisited && !popover; ++visited) {
        if (urgent.isEmpty() && later.isEmpty()) break;
        const ElementRef e = urgent.isEmpty() ? later.dequeue() : urgent.dequeue();
        for (ElementRef& child : e->childrenWithShape()) {
            if (!child->isShowing()) continue;
            if (sameSize(child->location().size(), xRect.size()) && child->childCount() > 0) {
                popover = std::move(child);
                break;
            }
            // A popover hangs below a button that opened it (GTK 4 marks
            // only some of them), a menu, or a drop-down.
            const int role = roleFromAtspi(child->atspiRole());
            const quint64 states = child->atspiStates();
            const bool opened = has(states, ATSPI_STATE_HAS_POPUP) ||
                                has(states, ATSPI_STATE_EXPANDED) ||
                                has(states, ATSPI_STATE_CHECKED) || has(states, ATSPI_STATE_PRESSED);
            if (opensPopups(role) || ((role == 43 || role == 62) && opened))
                urgent.enqueue(std::move(child));
            else if (role == 43 || !isLeafControl(role, states))
                later.enqueue(std::move(child));
        }
        if (app.budget()->gaveUp()) return nullptr;
    }
    if (!popover) return nullptr;
    // Its own surface's corner is where the X window stands.
    const QPoint raw = popover->location().topLeft() - app.app()->windowOrigin;
    auto placed = std::make_shared<AtspiApp>(*app.app());
    placed->windowOrigin = xRect.topLeft() - raw;
    auto element = std::make_shared<AtspiElement>(popover->ref(), placed);
    element->assumeLocation(QRect(xRect.topLeft(), popover->location().size()));
    m_knownWindows.insert(window, {element->ref(), xRect, element->location(), -raw});
    return element;
}

} // namespace klavoro::x11
