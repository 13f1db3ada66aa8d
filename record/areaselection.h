#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace klavoro {

// What shows the selection on the screen (frmRect).
class AreaOverlayView {
public:
    virtual ~AreaOverlayView() = default;
    // Shows the border of `area`; the lines lie just outside it, so that a
    // capture of the area never contains them.
    virtual void showArea(const QRect& area) = 0;
    virtual void hideArea() = 0;
};

// The area selector: Shift pressed at one corner, the pointer moved to the
// other, Shift released. Commands "init", "start", "move", "end" with the
// pointer in screen pixels; the selected area is what a "rect" capture copies.
class AreaSelection {
public:
    enum State { None = 0, Selecting = 1, Selected = 2 };

    // `monitorAt` gives the monitor that holds a point: the area stays on the
    // monitor where it was started. Without it the area is not cut.
    explicit AreaSelection(AreaOverlayView* view = nullptr,
                           std::function<QRect(QPoint)> monitorAt = {})
        : m_view(view), m_monitorAt(std::move(monitorAt)) {}
    void setView(AreaOverlayView* view) { m_view = view; }

    // The area-selection mode that the hot key switches.
    bool mode() const { return m_mode; }
    // Switching it off removes any selection.
    void setMode(bool on);

    void command(const QString& name, QPoint pointer);
    State state() const { return m_state; }
    // Left, top, width, height of the selection.
    QRect area() const { return m_area; }
    bool hasSelection() const { return m_state == Selected; }
    // The selected area for a capture (however small): the overlay goes and
    // the mode goes off. Nothing when no area is selected.
    std::optional<QRect> takeSelection();

private:
    void hide();

    AreaOverlayView* m_view;
    std::function<QRect(QPoint)> m_monitorAt;
    QRect m_monitor; // where the area started; null: not cut
    bool m_mode = false;
    State m_state = None;
    QPoint m_start;
    QRect m_area;
    bool m_shown = false;
};

} // namespace klavoro
