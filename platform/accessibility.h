#pragma once

#include "platform/desktop.h"

#include <QList>
#include <QRect>
#include <QString>

#include <memory>

namespace klavoro {

// Role numbers of the accessibility standard that element inspection speaks
// (the platform layer translates its own roles into them). Only the ones the
// logic tests by number are named here.
namespace role {
constexpr int None = 0;
constexpr int Window = 9;
constexpr int Client = 10;
constexpr int MenuPopup = 11;
constexpr int MenuItem = 12;
constexpr int StaticText = 41;
constexpr int Text = 42; // editable text
constexpr int PushButton = 43;
constexpr int CheckButton = 44;
} // namespace role

// State bits of the same standard.
namespace state {
constexpr quint32 Unavailable = 0x1;
constexpr quint32 Selected = 0x2;
constexpr quint32 Focused = 0x4;
constexpr quint32 Pressed = 0x8;
constexpr quint32 Checked = 0x10;
constexpr quint32 Mixed = 0x20;
constexpr quint32 ReadOnly = 0x40;
constexpr quint32 HotTracked = 0x80;
constexpr quint32 Default = 0x100;
constexpr quint32 Expanded = 0x200;
constexpr quint32 Collapsed = 0x400;
constexpr quint32 Busy = 0x800;
constexpr quint32 Floating = 0x1000;
constexpr quint32 Animated = 0x4000;
constexpr quint32 Invisible = 0x8000;
constexpr quint32 Offscreen = 0x10000;
constexpr quint32 Sizeable = 0x20000;
constexpr quint32 Moveable = 0x40000;
constexpr quint32 Focusable = 0x100000;
constexpr quint32 Selectable = 0x200000;
constexpr quint32 Linked = 0x400000;
constexpr quint32 Traversed = 0x800000;
constexpr quint32 MultiSelectable = 0x1000000;
constexpr quint32 ExtSelectable = 0x2000000;
constexpr quint32 Protected = 0x20000000; // password field
constexpr quint32 HasPopup = 0x40000000;
} // namespace state

// One user-interface element of another application. Every query that the
// service cannot answer gives an empty text, 0 or an empty rectangle; none
// throws and none waits longer than the service's short call timeout.
class AccessibleObject {
public:
    virtual ~AccessibleObject() = default;
    // Stable while the element lives; equal keys mean the same element.
    virtual QString key() const = 0;
    virtual QString name() = 0;
    // For edit fields their text. Always empty for a password field: its
    // content is never read.
    virtual QString value() = 0;
    virtual int role() = 0;
    virtual quint32 state() = 0;
    virtual QString description() = 0;
    virtual QString defaultAction() = 0;
    // Screen pixels.
    virtual QRect location() = 0;
    virtual QString keyboardShortcut() = 0;
    // The focused child as text: "0" for the element itself, n for its n-th
    // child (1-based), empty when neither has the focus.
    virtual QString focus() = 0;
    virtual int childCount() = 0;
    virtual std::shared_ptr<AccessibleObject> parent() = 0;
    // The n-th child (0-based); null when there is none.
    virtual std::shared_ptr<AccessibleObject> child(int /*index*/) { return nullptr; }
    // The position among the parent's children; -1 when unknown.
    virtual int indexInParent() { return -1; }
    // The elements that label this one (a field's caption), in order.
    virtual QList<std::shared_ptr<AccessibleObject>> labelledBy() { return {}; }
};

using AccessibleRef = std::shared_ptr<AccessibleObject>;

// The accessibility service of the desktop. Objects of this program's own
// process are never returned (asking ourselves synchronously would deadlock).
class Accessibility {
public:
    virtual ~Accessibility() = default;
    // The deepest element at a screen point, of the application that owns the
    // top-level window there; null when there is none.
    virtual AccessibleRef objectAtPoint(QPoint screenPoint) = 0;
    // The element that stands for a window (its client area); null when none.
    virtual AccessibleRef objectOfWindow(WindowId window) = 0;
    // The element with the keyboard focus in the foreground application.
    virtual AccessibleRef focusedObject() = 0;
    // The element of a key() found earlier; null when it is gone or unknown.
    virtual AccessibleRef objectByKey(const QString& /*key*/) { return nullptr; }
    // The application of the last query did not answer in time.
    virtual bool lastQueryTimedOut() const { return false; }
};

} // namespace klavoro
