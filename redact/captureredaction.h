#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace klavoro {

class ScreenTextSource;

// Redaction of a fresh screen copy, before anything is drawn on it or written:
// the texts come from `source` (may be null: nothing can be found then, which
// is said once), the boxes from the settings.
class CaptureRedaction {
public:
    explicit CaptureRedaction(ScreenTextSource* source, int budgetMs = 150)
        : m_source(source), m_budgetMs(budgetMs) {}

    // `image` shows the screen area `area` (screen pixels); `point` picks the
    // window whose texts are read. Returns the number of boxes painted.
    int apply(QImage& image, const QRect& area, QPoint point);

private:
    ScreenTextSource* m_source;
    int m_budgetMs;
    bool m_toldUnavailable = false;
    bool m_toldBadEntries = false;
};

} // namespace klavoro
