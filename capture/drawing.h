#pragma once

#include "capture/capturearea.h"

#include <QImage>

namespace klavoro {

// A colour packed blue-green-red, as the settings hold colours (255 is red).
QColor colourFromBgr(qint32 bgr);

// The click marker: a rounded rectangle outline one pixel outside the element
// rectangle (given in picture coordinates), in the marker colour and width,
// with corner ellipses of `round` pixels.
void drawMarker(QImage& picture, const ScreenRect& element, qint32 bgrColour, int width, int round);

// The pointer picture with its hot spot at `point` (picture coordinates).
void drawPointer(QImage& picture, const QImage& cursor, QPoint hotSpot, QPoint point);

} // namespace klavoro
