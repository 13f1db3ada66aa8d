#pragma once

#include "platform/screentext.h"

#include <QHash>
#include <QString>

struct _AtspiAccessible;

namespace klavoro {
class Desktop;
}

namespace klavoro::x11 {

// The texts of another application's window over AT-SPI: every element whose
// extents meet the captured area is read (its text, or its name when it has
// none); a match is boxed by the extents of its character range, a password
// field (also one that shows its text, recognised by its name or label) as a
// whole. Reading stops when the budget is spent; what is left is counted.
class AtspiScreenText : public ScreenTextSource {
public:
    AtspiScreenText(Desktop& desktop, bool available)
        : m_desktop(desktop), m_available(available) {}

    ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                           int budgetMs) override;

private:
    _AtspiAccessible* applicationOf(qint64 pid, int timeoutMs);

    Desktop& m_desktop;
    bool m_available;
    QHash<QString, qint64> m_pidOfBus;
};

} // namespace klavoro::x11
