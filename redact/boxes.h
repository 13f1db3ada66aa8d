#pragma once

#include "redact/patterns.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

namespace klavoro {

struct Settings;

// A text on the screen: an element's whole text or one range of it, with its
// extents in screen pixels. A password field is boxed whatever it shows.
struct ScreenText {
    QRect rect;
    QString text;
    bool password = false;
    // A field boxed only because its label, which may say password, could
    // not be read in time: a later reading that reads it settles the field.
    bool unsure = false;
};

// Paints an opaque box of `colour` over every item of `items` that is a
// password field or whose text the rules match. `origin` is the screen point
// of the image's top-left pixel. Boxes reach a little beyond the extents,
// which toolkits report tight, so that no smoothed glyph edge is left.
// Returns the number of boxes painted.
int paintRedactionBoxes(QImage& image, QPoint origin, const std::vector<ScreenText>& items,
                        const RedactionRules& rules, const QColor& colour);

// One solid box in image pixels (clipped to the image); every pixel inside
// takes exactly `colour`, alpha included, whatever the image format.
void paintSolidBox(QImage& image, const QRect& box, const QColor& colour);

// The rules and colour of the settings.
RedactionRules redactionRulesOf(const Settings& s);
QColor redactionColourOf(const Settings& s);

} // namespace klavoro
