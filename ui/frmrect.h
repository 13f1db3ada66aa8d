#pragma once

#include "record/areaselection.h"

#include <QObject>

#include <array>
#include <memory>

class QWidget;

namespace klavoro {

// The area-selection overlay: four thin top-most windows that draw the
// border of the selected area just outside it. They take no input and no
// focus, and a capture of the area never contains them.
class frmRect : public QObject, public AreaOverlayView {
    Q_OBJECT
public:
    explicit frmRect(QObject* parent = nullptr);
    ~frmRect() override;

    void showArea(const QRect& area) override;
    void hideArea() override;
    bool isShown() const { return m_shown; }
    // The rectangles of the four lines (window units): top, bottom, left, right.
    std::array<QRect, 4> lineRects() const;

    std::array<std::unique_ptr<QWidget>, 4> Line1;

private:
    QRect m_area;
    bool m_shown = false;
};

// Where the four lines of an area go: one pixel outside each edge.
std::array<QRect, 4> borderLines(const QRect& area);

} // namespace klavoro
