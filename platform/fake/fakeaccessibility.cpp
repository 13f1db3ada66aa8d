#include "platform/fake/fakeaccessibility.h"

namespace klavoro {

QString FakeElement::value() {
    ++valueReads;
    // Like the real service: a password field's content is never handed out.
    if (stateBits & state::Protected) return QString();
    return elementValue;
}

FakeElementRef FakeAccessibility::add(const QString& key, int role, const QString& name, QRect rect,
                                      const FakeElementRef& parent) {
    auto element = std::make_shared<FakeElement>(key);
    element->roleNumber = role;
    element->elementName = name;
    element->rect = rect;
    if (parent) {
        element->parentElement = parent;
        parent->children.append(element);
    } else {
        m_roots.append(element);
    }
    return element;
}

AccessibleRef FakeAccessibility::objectAtPoint(QPoint point) {
    ++pointQueries;
    FakeElementRef hit;
    const QList<FakeElementRef>* level = &m_roots;
    for (bool descended = true; descended;) {
        descended = false;
        for (auto it = level->crbegin(); it != level->crend(); ++it) {
            if ((*it)->rect.contains(point)) {
                hit = *it;
                level = &hit->children;
                descended = true;
                break;
            }
        }
    }
    return hit;
}

} // namespace klavoro
