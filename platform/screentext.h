#pragma once

#include "redact/boxes.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace klavoro {

// What a scan of the screen's texts found in the time it had.
struct ScreenTextScan {
    std::vector<ScreenText> texts; // password fields and the ranges the rules match
    int unread = 0;                // elements left unread when the time ran out
    bool timedOut = false;         // the window's elements were not even listed in time
    bool available = true;         // false without an accessibility service
    // Fields read whole (labels included) and found to hold no password.
    std::vector<QRect> plainFields;
};

// The texts of the window at a point, as the accessibility service knows them,
// reduced to what `rules` match (and every password field) inside `area`.
class ScreenTextSource {
public:
    virtual ~ScreenTextSource() = default;
    virtual ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                                   int budgetMs) = 0;
};

} // namespace klavoro
