#pragma once

#include "platform/screentext.h"
#include "platform/x11/atspibus.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <optional>
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
    // The walk goes on from the level it did not ask, and the elements that
    // did not answer whole are read again.
    ScreenTextScan textsLeft(const ScreenTextLeft& left, const RedactionRules& rules,
                             int budgetMs) override;

    // The time left of a scan's budget.
    class Deadline {
    public:
        explicit Deadline(int budgetMs) : m_budgetMs(budgetMs) { m_clock.start(); }
        int left() const { return m_budgetMs - int(m_clock.elapsed()); }

    private:
        QElapsedTimer m_clock;
        int m_budgetMs;
    };

private:
    // What is known of one showing element.
    struct Element {
        enum Kind { Unknown, Text, Other };
        AtspiRef ref;
        Kind kind = Unknown;
        bool password = false; // by role, or named or labelled so
        bool editable = false;
        bool lost = false; // did not answer in time
        bool extentsAsked = false;
        bool relationsAsked = false;
        bool roleKnown = false;   // with the state: told by the walk
        bool labelUnread = false; // a label did not answer in time
        bool unplaced = false;    // a match or a password field without extents
        QString name;
        QString text;
        QRect extents; // on the screen
        QPoint origin; // where the element's coordinates start on the screen
        std::vector<AtspiRef> labels;
    };
    AtspiRef applicationOf(qint64 pid, const Deadline& deadline);
    // The elements below `root` in the state `shown`, with their kinds where
    // the query tells them; false when the application has no such query.
    bool listByCollection(const AtspiRef& root, int shown, const Deadline& deadline,
                          std::vector<Element>* out, bool* timedOut);
    // GTK 4 counts in the coordinates of each of its X windows, which only
    // their sizes tell apart; an open popover hangs below what opened it and
    // counts from there, in its own X window.
    struct Gtk4Windows {
        bool on = false;
        std::vector<QRect> windows; // the application's own, on the screen
        QRect popover;              // the popup X window at the point, if any
        QPoint fallback;            // where the window at the point starts
        // Where a window element of this size starts on the screen.
        QPoint windowOrigin(const QSize& size) const;
        // Whether an element of this role and size is the open popover.
        bool isPopover(unsigned role, const QSize& size) const;
    };
    // Where a walk stopped: the level it did not ask (the application's root
    // when it did not even start).
    struct Walk {
        std::vector<AtspiRef> level;
        // Where the coordinates of each in `level` start; none for a window
        // element, placed by its size.
        std::vector<std::optional<QPoint>> origins;
        bool atRoot = false;
        Gtk4Windows gtk4;
    };
    // The showing elements from `walk` down; `walk` is left where the time ran out.
    std::vector<Element> listByWalk(Walk& walk, int shown, const Deadline& deadline,
                                    const QRect& area, int* unread, int* levels);
    // What one scan did not get to.
    struct Left : ScreenTextLeft {
        Walk walk;
        int shown = 0;
        std::vector<Element> elements; // as listed, to be read again whole
    };
    // Reads the listed elements in the area and collects their boxes; what
    // did not answer goes into the scan's `left`, with the rest of `walk`.
    void readListed(std::vector<Element> elements, Walk walk, int shown, QPoint point,
                    const QRect& area, const RedactionRules& rules, const Deadline& deadline,
                    ScreenTextScan* scan);
    // Texts, names, and what an element of unknown kind is.
    void readElements(std::vector<Element>& elements, const Deadline& deadline);
    void readCountedTexts(std::vector<Element>& elements, const std::vector<bool>& hasText,
                          const Deadline& deadline);
    // The matches, password fields, and where they stand.
    void collectTexts(std::vector<Element>& elements, const RedactionRules& rules,
                      const QRect& area, const Deadline& deadline, ScreenTextScan* scan);

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
