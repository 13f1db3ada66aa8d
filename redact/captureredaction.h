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
    explicit CaptureRedaction(ScreenTextSource* source, int budgetMs = 150)
        : m_source(source), m_budgetMs(budgetMs) {}

    // `image` shows the screen area `area` (screen pixels); `point` picks the
    // window whose texts are read. `atPress`: the texts read with the picture;
    // only when they are incomplete is the window read again now (the
    // application may have changed it since). Returns the number of boxes.
    int apply(QImage& image, const QRect& area, QPoint point,
              const ScreenTextScan* atPress = nullptr);

private:
    ScreenTextSource* m_source;
    int m_budgetMs;
    bool m_toldUnavailable = false;
    bool m_toldBadEntries = false;
};

} // namespace klavoro
