#include "redact/treescreentext.h"

#include "platform/accessibility.h"
#include "platform/desktop.h"

#include <QElapsedTimer>

#include <deque>

namespace klavoro {

namespace {
// A tree deeper or wider than this is a loop or a list of thousands of rows.
constexpr int kMaxDepth = 40;
constexpr int kMaxElements = 20000;
} // namespace

ScreenTextScan TreeScreenText::textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                                       int budgetMs) {
    ScreenTextScan scan;
    QElapsedTimer clock;
    clock.start();
    const WindowId top = m_desktop.topLevelWindow(m_desktop.windowAt(point));
    if (!top) return scan;
    const AccessibleRef root = m_accessibility.objectOfWindow(top);
    if (!root) {
        scan.timedOut = m_accessibility.lastQueryTimedOut();
        return scan;
    }
    std::deque<std::pair<AccessibleRef, int>> queue{{root, 0}};
    int seen = 0;
    while (!queue.empty()) {
        if (clock.elapsed() > budgetMs || ++seen > kMaxElements) {
            scan.unread = int(queue.size());
            break;
        }
        const auto [element, depth] = std::move(queue.front());
        queue.pop_front();
        const quint32 bits = element->state();
        if (bits & (state::Invisible | state::Offscreen)) continue;
        const QRect rect = element->location();
        // Children stand inside their parent; an element that tells no place
        // may still hold some that do.
        if (!rect.isEmpty() && !rect.intersects(area)) continue;
        if (!rect.isEmpty()) {
            if (bits & state::Protected) {
                scan.texts.push_back(ScreenText{rect, QString(), true});
            } else {
                // A field's name is its label's text, shown beside it, not in it.
                const QString name = element->role() == role::Text ? QString() : element->name();
                const QString value = element->value();
                if (rules.matches(name)) scan.texts.push_back(ScreenText{rect, name, false});
                if (value != name && rules.matches(value))
                    scan.texts.push_back(ScreenText{rect, value, false});
            }
        }
        if (depth >= kMaxDepth) continue;
        const int children = element->childCount();
        for (int i = 0; i < children; ++i)
            if (AccessibleRef child = element->child(i))
                queue.emplace_back(std::move(child), depth + 1);
    }
    return scan;
}

} // namespace klavoro
