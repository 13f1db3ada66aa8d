#include "describe/inspector.h"

#include "platform/desktop.h"

#include <QStringList>

namespace klavoro {

namespace {

// Containers whose children are items of theirs (a menu's entries, a list's
// rows). Such an item names its container as its parent. Any other element is
// a control of its own, which reports itself, in the window role, as its
// parent: on X11 a control has no window of its own, and a control that is a
// window reports exactly that, so that [OK](ボタン) gets no parent part.
bool holdsItems(int containerRole) {
    switch (containerRole) {
    case 2:  // menu bar
    case 11: // menu
    case 12: // menu item with a submenu
    case 22: // tool bar
    case 24: // table
    case 28: // row
    case 33: // list
    case 35: // tree
    case 46: // combo box
    case 47: // drop list
    case 60: // tab list
        return true;
    default:
        return false;
    }
}

} // namespace

void ElementInspector::inspectPoint(ElementInfo& record, QPoint point, double textMag) {
    AccessibleRef object;
    if (point.x() < 0 || point.y() < 0) {
        object = focusedControl();
        if (object) m_lastFocused = object;
    } else {
        object = m_accessibility.objectAtPoint(point);
    }
    if (object) inspectObject(record, *object, textMag);
}

void ElementInspector::inspectObject(ElementInfo& record, AccessibleObject& object, double textMag,
                                     bool sentenceOnly) {
    const QRect r = object.location();
    record.left = scaleByTextMag(r.x(), textMag);
    record.top = scaleByTextMag(r.y(), textMag);
    record.width = scaleByTextMag(r.width(), textMag);
    record.height = scaleByTextMag(r.height(), textMag);
    record.name = object.name();
    const int role = object.role();
    record.roleNumber = QString::number(role);
    record.roleText = RoleWords(role);
    if (!sentenceOnly) {
        record.value = object.value();
        const quint32 bits = object.state();
        record.stateNumber = QString::number(bits);
        record.stateText = StateTexts(bits);
        record.focus = object.focus();
    }

    const AccessibleRef parent = object.parent();
    const int parentRole = parent ? parent->role() : 0;
    QString containerName;
    if (parent && holdsItems(parentRole)) {
        containerName = parent->name();
        // A popup menu rarely has a name of its own; it is the menu of the
        // item that opens it.
        if (containerName.isEmpty() && parentRole == 11) {
            if (const AccessibleRef opener = parent->parent()) containerName = opener->name();
        }
    }
    // A container without a name says nothing a reader could look for: the
    // item then stands alone, like a control.
    if (!containerName.isEmpty()) {
        record.parentName = containerName;
        record.parentRoleText = RoleWords(parentRole);
    } else {
        record.parentName = record.name;
        record.parentRoleText = RoleWords(9);
    }

    if (sentenceOnly) return;
    record.kbShortcut = object.keyboardShortcut();
    record.defAction = object.defaultAction();
    record.childCount = QString::number(object.childCount());
    record.description = object.description();
}

QString ElementInspector::nameAtPoint(QPoint point) {
    const AccessibleRef object = m_accessibility.objectAtPoint(point);
    return object ? object->name() : QString();
}

AccessibleRef ElementInspector::clientObject(WindowId window) {
    return window ? m_accessibility.objectOfWindow(window) : nullptr;
}

AccessibleRef ElementInspector::focusedControl() {
    return m_accessibility.focusedObject();
}

WindowId ElementInspector::topLevelWindow(WindowId window) {
    return topLevelWindowOf(m_desktop, window);
}

bool isBrowserContent(const QString& className, const QString& browserClasses) {
    if (className.isEmpty()) return false;
    const QStringList names = browserClasses.split(u',');
    for (const QString& name : names) {
        if (name.compare(className, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

WindowId topLevelWindowOf(Desktop& desktop, WindowId window) {
    const WindowId ownParent = desktop.parent(window);
    const bool inTaskbar =
        ownParent && desktop.className(ownParent).compare(QLatin1String("shell_traywnd"),
                                                          Qt::CaseInsensitive) == 0;
    WindowId current = window;
    // A parent chain is short; the bound only guards against a cycle.
    for (int depth = 0; depth < 256 && current; ++depth) {
        if (desktop.topLevelWindow(current) == current) break;
        const WindowId parent = desktop.parent(current);
        if (!parent) break;
        if (!inTaskbar && desktop.className(parent).compare(QLatin1String("shell_traywnd"),
                                                            Qt::CaseInsensitive) == 0)
            break;
        current = parent;
    }
    return current;
}

} // namespace klavoro
