#pragma once

#include "platform/screentext.h"
#include "platform/x11/atspibus.h"

#include <QHash>
#include <QString>

#include <vector>

namespace klavoro {
class Desktop;
}

namespace klavoro::x11 {

// The texts of another application's window over AT-SPI. Every call of a
// step goes out in batches, so the cost is a few round trips whatever the
// number of elements: the showing elements in one Collection query (or, for
// a toolkit without it, one batch per tree level), then their roles, names,
// states and text lengths, then the texts, then extents only for what
// matched. A match is boxed by the extents of its character range, a
// password field (also one that shows its text, recognised by its name or
// label) as a whole. What has not answered when the budget is spent is
// counted as unread; its text is never kept.
class AtspiScreenText : public ScreenTextSource {
public:
    // `useCollection` false walks the tree level by level even where the
    // application offers the Collection query (tests compare the two).
    AtspiScreenText(Desktop& desktop, bool available, bool useCollection = true);

    ScreenTextScan textsIn(QPoint point, const QRect& area, const RedactionRules& rules,
                           int budgetMs) override;

private:
    class Deadline;
    AtspiRef applicationOf(qint64 pid, const Deadline& deadline);
    // The showing elements below `root`, or false when the query failed.
    bool showingByCollection(const AtspiRef& root, int state, const Deadline& deadline,
                             std::vector<AtspiRef>* out, bool* timedOut);
    std::vector<AtspiRef> showingByWalk(const AtspiRef& root, int state, const Deadline& deadline,
                                        int* unread);

    // GTK 4 answers in the coordinates of its window and marks what it
    // shows as visible only.
    struct Toolkit {
        bool known = false;
        bool gtk4 = false;
    };
    Toolkit toolkitOf(const AtspiRef& root, const Deadline& deadline);

    Desktop& m_desktop;
    AtspiBus m_bus;
    bool m_available;
    bool m_useCollection;
    QHash<qint64, AtspiRef> m_rootOfPid;
    // Applications (bus names) that do not offer the Collection query.
    QHash<QString, bool> m_noCollection;
    QHash<QString, Toolkit> m_toolkitOfBus;
};

} // namespace klavoro::x11
