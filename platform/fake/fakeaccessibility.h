#pragma once

#include "platform/accessibility.h"

#include <QHash>
#include <QList>

#include <memory>

namespace klavoro {

// An element with fixed answers. `secret` holds what a password field
// contains, so that tests can check it never leaks.
class FakeElement : public AccessibleObject {
public:
    explicit FakeElement(QString elementKey) : m_key(std::move(elementKey)) {}

    QString key() const override { return m_key; }
    QString name() override { return elementName; }
    QString value() override;
    int role() override { return roleNumber; }
    quint32 state() override { return stateBits; }
    QString description() override { return descriptionText; }
    QString defaultAction() override { return action; }
    QRect location() override { return rect; }
    QString keyboardShortcut() override { return shortcut; }
    QString focus() override { return focusText; }
    int childCount() override { return static_cast<int>(children.size()); }
    AccessibleRef parent() override { return parentElement.lock(); }
    AccessibleRef child(int index) override {
        return index >= 0 && index < children.size() ? children[index] : nullptr;
    }
    int indexInParent() override;
    QList<AccessibleRef> labelledBy() override;

    QString elementName;
    QString elementValue;
    QString secret;
    int roleNumber = 0;
    quint32 stateBits = 0;
    QString descriptionText;
    QString action;
    QRect rect;
    QString shortcut;
    QString focusText;
    std::weak_ptr<FakeElement> parentElement;
    QList<std::shared_ptr<FakeElement>> children;
    QList<std::weak_ptr<FakeElement>> labels;
    // How often value() was asked.
    int valueReads = 0;

private:
    QString m_key;
};

using FakeElementRef = std::shared_ptr<FakeElement>;

// A scripted accessibility service: a tree of elements per window.
class FakeAccessibility : public Accessibility {
public:
    // A new element under `parent` (or a root when null).
    FakeElementRef add(const QString& key, int role, const QString& name, QRect rect,
                       const FakeElementRef& parent = nullptr);
    void setWindowObject(WindowId window, const FakeElementRef& element) {
        m_windows.insert(window, element);
    }
    void setFocused(const FakeElementRef& element) { m_focused = element; }

    // The deepest element containing the point, later siblings on top.
    AccessibleRef objectAtPoint(QPoint screenPoint) override;
    AccessibleRef objectOfWindow(WindowId window) override { return m_windows.value(window); }
    AccessibleRef focusedObject() override { return m_focused; }
    AccessibleRef objectByKey(const QString& key) override;

    int pointQueries = 0;

private:
    QList<FakeElementRef> m_roots;
    QHash<WindowId, FakeElementRef> m_windows;
    FakeElementRef m_focused;
};

} // namespace klavoro
