#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace klavoro {

class ScreenTextSource;
struct ScreenTextScan;

// Redaction of a fresh screen copy, before anything is drawn on it or written:
// the texts come from `source` (may be null: nothing can be found then, which
// is said once), the boxes from the settings.
class CaptureRedaction {
public:
    // The reading after the press has `budgetMs`: GTK 4 answers about one
    // message a millisecond, and after a click that changes much of its
    // window the rest of the reading took up to 250 ms.
    explicit CaptureRedaction(ScreenTextSource* source, int budgetMs = 400)
        : m_source(source), m_budgetMs(budgetMs) {}

    // `image` shows the screen area `area` (screen pixels); `point` picks the
    // window whose texts are read. `atPress`: the texts read with the picture;
    // what they left unread is read now (the window itself when they tell
    // nothing to go on with). Returns the number of boxes.
    int apply(QImage& image, const QRect& area, QPoint point,
              const ScreenTextScan* atPress = nullptr);

private:
    ScreenTextSource* m_source;
    int m_budgetMs;
    bool m_toldUnavailable = false;
    bool m_toldBadEntries = false;
};

} // namespace klavoro
