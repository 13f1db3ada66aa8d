#pragma once

#include "platform/inputhook.h"
#include "record/presssnapshot.h"

#include <memory>

namespace klavoro {
class RedactionRules;
}

namespace klavoro::x11 {

class AtspiAccessibility;
class AtspiScreenText;
class X11Cursor;
class X11Desktop;
class X11ScreenCopy;

// Takes press snapshots on the input hook's thread, with connections of its
// own to the X server and the accessibility bus (none of them is shared with
// the GUI thread).
class SnapshotTaker {
public:
    SnapshotTaker();
    ~SnapshotTaker();
    SnapshotTaker(const SnapshotTaker&) = delete;
    SnapshotTaker& operator=(const SnapshotTaker&) = delete;

    // Whether `point` lies on a window of this process (nothing is taken there).
    bool isOwnWindowAt(QPoint point);
    // Gets the application at `point` ready for a quick query later.
    void prepare(QPoint point);
    // The screen (`area` of it), pointer, windows and element at `point`; the
    // element's application gets at most `elementBudgetMs` in all; with
    // redaction on, the texts to cover get `textBudgetMs` after that. On one
    // of our own windows nothing is taken: the snapshot only says so.
    // `dragStart`, for the end of a drag, is the top-level window its press
    // was in and that window's title then: a drag from there that ends on a
    // popup (the context menu its right press opened here; on Windows it
    // opens at the release) ends on what lies beneath the popup in that
    // window.
    struct DragStart {
        WindowId window = 0;
        QString title;
    };
    std::shared_ptr<PressSnapshot> take(QPoint point, PressSnapshot::Hold hold, int elementBudgetMs,
                                        const PressArea& area, int textBudgetMs,
                                        const DragStart* dragStart = nullptr);

private:
    // The window at the point and what the capture targets ask of it: its
    // parents up to its top-level window and that window's owner, with
    // rectangles and classes (`full`), or only the top-level window's title.
    void addWindows(PressSnapshot& s, WindowId top, bool full);

    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<X11ScreenCopy> m_screen;
    std::unique_ptr<X11Cursor> m_cursor;
    std::unique_ptr<AtspiAccessibility> m_accessibility;
    std::unique_ptr<AtspiScreenText> m_texts;
    // Built again only when the settings change.
    std::unique_ptr<RedactionRules> m_rules;
    int m_rulesKinds = -1;
    QString m_rulesWords;
};

} // namespace klavoro::x11
