#pragma once

#include <QString>

namespace klavoro {

// What inspection learnt about the element under a point. Numbers the
// service returns are kept as decimal text; the location is in capture
// pixels (already scaled by `text mag`).
struct ElementInfo {
    QString name;
    QString value;
    QString roleNumber;
    QString roleText;
    QString stateNumber;
    QString stateText;
    QString kbShortcut;
    QString focus;
    QString parentName;
    QString parentRoleText;
    QString defAction;
    QString childCount;
    QString description;
    // The title of the window the element is in: the sentence's last resort
    // when nothing names the element.
    QString windowTitle;
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;

    bool operator==(const ElementInfo&) const = default;
};

// The Japanese word of a role number; empty for numbers outside 1..63.
QString RoleWords(int role);

// The texts of the set state bits, in the fixed reading order (not bit order).
QString StateTexts(quint32 state);

// A coordinate times the magnification factor (1.25 for 125 %), rounded to
// the nearest integer with halves to even.
qint32 scaleByTextMag(qint32 value, double factor);

} // namespace klavoro
