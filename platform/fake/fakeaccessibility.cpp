#include "platform/fake/fakeaccessibility.h"

namespace klavoro {

QString FakeElement::value() {
    ++valueReads;
    // Like the real service: a password field's content is never handed out.
    if (stateBits & state::Protected) return QString();
    return elementValue;
}

int FakeElement::indexInParent() {
    const auto up = parentElement.lock();
    if (!up) return -1;
    for (int i = 0; i < up->children.size(); ++i)
        if (up->children[i].get() == this) return i;
    return -1;
}

QList<AccessibleRef> FakeElement::labelledBy() {
    QList<AccessibleRef> result;
    for (const auto& label : labels)
        if (const auto l = label.lock()) result << l;
    return result;
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

AccessibleRef FakeAccessibility::objectByKey(const QString& key) {
    QList<FakeElementRef> pending = m_roots;
    while (!pending.isEmpty()) {
        const FakeElementRef e = pending.takeFirst();
        if (e->key() == key) return e;
        pending << e->children;
    }
    return nullptr;
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
