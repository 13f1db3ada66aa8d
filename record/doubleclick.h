#pragma once

#include <QPoint>
#include <QtGlobal>

namespace klavoro {

// Decides which presses are double clicks, the way Windows does: a second press of the same button
// within the double-click time, inside a small box around the first press. The press after a double
// click starts a new pair.
class DoubleClickTracker {
public:
    // Defaults: 500 ms and a 4 x 4 pixel box centred on the first press.
    explicit DoubleClickTracker(quint32 intervalMs = 500, int boxWidth = 4, int boxHeight = 4);

    // A press of `button` (any id) at `time` ms; true when it is a double click.
    bool press(int button, quint32 time, QPoint pt);
    // Forgets the pending first press (another event broke the pair).
    void reset() { m_pending = false; }

private:
    quint32 m_interval;
    int m_halfWidth;
    int m_halfHeight;
    bool m_pending = false;
    int m_button = 0;
    quint32 m_time = 0;
    QPoint m_pt;
};

} // namespace klavoro
