#pragma once

#include "platform/screentext.h"

namespace klavoro {

class Accessibility;
class Desktop;

// Screen texts from any accessibility service that only answers element by
// element (MSAA): the window's tree is walked breadth first, and each showing
// element in the area gives its name and value. Such a service tells no
// character extents, so a match boxes its whole element (more covered is
// safe), and a password field is boxed by its protected state. Subtrees
// outside the area are skipped; what is left when the budget is spent is
// counted as unread.
class TreeScreenText : public ScreenTextSource {
public:
    TreeScreenText(Desktop& desktop, Accessibility& accessibility)
        : m_desktop(desktop), m_accessibility(accessibility) {}

    ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                           int budgetMs) override;

private:
    Desktop& m_desktop;
    Accessibility& m_accessibility;
};

} // namespace klavoro
