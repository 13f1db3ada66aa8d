#pragma once

#include "redact/boxes.h"

#include <QPoint>
#include <QRect>

#include <memory>
#include <vector>

namespace klavoro {

// What a scan did not get to, for a scan of the same picture that goes on
// from there; each source keeps what it needs in a class of its own.
struct ScreenTextLeft {
    virtual ~ScreenTextLeft() = default;
    QPoint point;
    QRect area;
};

// What a scan of the screen's texts found in the time it had.
struct ScreenTextScan {
    std::vector<ScreenText> texts; // password fields and the ranges the rules match
    int unread = 0;                // elements left unread when the time ran out
    bool timedOut = false;         // the window's elements were not even listed in time
    bool available = true;         // false without an accessibility service
    // Fields read whole (labels included) and found to hold no password.
    std::vector<QRect> plainFields;
    // Set when elements were left unread.
    std::shared_ptr<const ScreenTextLeft> left;
};

// The texts of the window at a point, as the accessibility service knows them,
// reduced to what `rules` match (and every password field) inside `area`.
class ScreenTextSource {
public:
    virtual ~ScreenTextSource() = default;
    virtual ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                                   int budgetMs) = 0;
    // Reads what an earlier scan left unread, and only that; a source that
    // keeps nothing of a scan reads the whole window again.
    virtual ScreenTextScan textsLeft(const ScreenTextLeft& left, const RedactionRules& rules,
                                     int budgetMs) {
        return textsIn(left.point, left.area, rules, budgetMs);
    }
};

} // namespace klavoro
