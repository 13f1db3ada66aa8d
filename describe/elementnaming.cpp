#include "describe/elementnaming.h"

#include "describe/inspector.h"
#include "platform/desktop.h"

#include <QRegularExpression>

namespace klavoro {

namespace {

// Areas that only hold other elements: filler, pane, panel or section.
bool isGenericRole(int role) {
    return role == role::None || role == role::Client || role == 16 || role == 20;
}

bool isWindowRole(int role) {
    return role == role::Window || role == 18 || role == 14;
}

// Fields that a label beside them names, as on Windows for edit and combo
// boxes (and their relatives: spin buttons, sliders, drop-down lists).
bool takesNearbyLabel(int role) {
    return role == role::Text || role == 46 || role == 47 || role == 51 || role == 52;
}

// What a user operates: buttons, links, items, boxes.
bool isControl(int role) {
    switch (role) {
    case role::MenuItem:
    case 30: // link
    case 34: // list item
    case 36: // tree item
    case 37: // page tab
    case role::PushButton:
    case role::CheckButton:
    case 45: // radio button
    case 46: // combo box
    case 56: // drop-down button
    case 57: // menu button
    case 62: // split button
        return true;
    default:
        return false;
    }
}

bool isHidden(AccessibleObject& element) {
    return element.state() & (state::Invisible | state::Offscreen);
}

bool isToolkitClassName(const QString& name) {
    static const QRegularExpression className(QStringLiteral("^(Gtk|Adw)[A-Z][A-Za-z]*$"));
    return className.match(name).hasMatch();
}

QString ownName(AccessibleObject& element) {
    const QString name = element.name().trimmed();
    return isToolkitClassName(name) ? QString() : name;
}

// A caption names its field without the colon that ends it.
QString labelText(const QString& caption) {
    QString text = caption.trimmed();
    while (text.endsWith(u':') || text.endsWith(QChar(0xFF1A)))
        text = text.chopped(1).trimmed();
    return text;
}

// GTK 4 says a labelled control's label twice ("8 8", "× ×"): said once.
QString saidOnce(const QString& name) {
    const qsizetype half = name.size() / 2;
    if (name.size() % 2 == 1 && name[half] == u' ' && name.left(half) == name.mid(half + 1))
        return name.left(half);
    return name;
}

int indexIn(AccessibleObject& element, AccessibleObject& parent) {
    const int index = element.indexInParent();
    if (index >= 0) return index;
    const QString key = element.key();
    const int count = std::min(parent.childCount(), 200);
    for (int i = 0; i < count; ++i)
        if (const AccessibleRef c = parent.child(i); c && c->key() == key) return i;
    return -1;
}

// The nearest label before `element` among its siblings; a field in between
// has that label for itself.
QString labelBefore(AccessibleObject& element, AccessibleObject& parent) {
    const int index = indexIn(element, parent);
    for (int i = index - 1; i >= 0 && i >= index - 8; --i) {
        const AccessibleRef sibling = parent.child(i);
        if (!sibling || isHidden(*sibling)) continue;
        const int role = sibling->role();
        if (role == role::StaticText) {
            const QString text = labelText(sibling->name());
            if (!text.isEmpty()) return text;
        } else if (takesNearbyLabel(role)) {
            return QString();
        }
    }
    return QString();
}

} // namespace

AccessibleRef meaningfulElement(const AccessibleRef& hit) {
    // The text or picture inside a button, link or item: the control was clicked.
    if (hit && (hit->role() == role::StaticText || hit->role() == 40)) {
        const AccessibleRef parent = hit->parent();
        if (parent && isControl(parent->role())) return parent;
    }
    AccessibleRef element = hit;
    for (int up = 0; element && up < 6; ++up) {
        const int r = element->role();
        if (!isGenericRole(r) || !ownName(*element).isEmpty()) return element;
        AccessibleRef parent = element->parent();
        if (!parent) break;
        // Blank space of a window: the window is what was clicked.
        if (isWindowRole(parent->role())) return parent;
        element = parent;
    }
    return hit;
}

QString nameOfElement(AccessibleObject& element) {
    const QString own = ownName(element);
    QStringList captions;
    for (const AccessibleRef& label : element.labelledBy()) {
        // GTK 4 labels a menu button's inner button by the menu button, named by its class.
        const QString text = label ? ownName(*label) : QString();
        if (!text.isEmpty() && !captions.contains(text)) captions << text;
    }
    const QString captionText = captions.join(u' ');
    const QString caption = labelText(captionText);
    // A browser names a field after its label, colon and all; GTK 4 repeats
    // the label in the name ("4 4"): the label, without its colon, is the name.
    if (!caption.isEmpty() && (own.isEmpty() || own == captionText || own == caption ||
                               own.startsWith(caption + u' ')))
        return caption;
    // Labelled by a caption whose text lies deeper (a web page's label
    // element), or whose text could not be read in time: the name is the
    // caption's text all the same, which GTK 4 repeats in it.
    if (!own.isEmpty() && !element.labelledBy().isEmpty()) return labelText(saidOnce(own));
    if (!own.isEmpty() || !takesNearbyLabel(element.role())) return own;
    const AccessibleRef parent = element.parent();
    if (!parent) return QString();
    QString nearby = labelBefore(element, *parent);
    // A field wrapped in a box of its own: its label stands beside the box.
    if (nearby.isEmpty() && isGenericRole(parent->role()) && ownName(*parent).isEmpty()) {
        if (const AccessibleRef grandParent = parent->parent())
            nearby = labelBefore(*parent, *grandParent);
    }
    return nearby;
}

void describeElement(ElementInfo& info, AccessibleObject& element) {
    ElementInspector::inspectObject(info, element, 1.0, true);
    // A menu bar's entries open menus, whatever role their toolkit gives them.
    if (info.roleNumber.toInt() == role::MenuItem) {
        const AccessibleRef parent = element.parent();
        if (parent && parent->role() == 2) info.roleText = RoleWords(role::MenuPopup);
    }
    const QString name = nameOfElement(element);
    // A control names itself as its parent (see inspectObject): keep the two equal.
    if (info.parentName == info.name) info.parentName = name;
    info.name = name;
    // A field's text when it was clicked: typing that follows is told apart
    // from what was there (a password field never gives its text).
    if (info.roleNumber.toInt() == role::Text && !(element.state() & state::Protected))
        info.value = element.value();
}

NamedElement nameElementAt(Accessibility& accessibility, Desktop& desktop, QPoint point) {
    const WindowId top = desktop.topLevelWindow(desktop.windowAt(point));
    const QString title =
        top && top != desktop.desktopWindow() ? desktop.windowTitle(top) : QString();
    return nameHit(accessibility, accessibility.objectAtPoint(point), title);
}

NamedElement nameHit(Accessibility& accessibility, const AccessibleRef& hit,
                     const QString& windowTitle) {
    NamedElement result;
    result.info.windowTitle = windowTitle;
    result.timedOut = accessibility.lastQueryTimedOut();
    if (!hit) return result;
    result.hitKey = hit->key();
    const AccessibleRef element = meaningfulElement(hit);
    // Known even when there is no time left to read it.
    result.key = element->key();
    describeElement(result.info, *element);
    result.found = true;
    result.timedOut = result.timedOut || accessibility.lastQueryTimedOut();
    return result;
}

} // namespace klavoro
