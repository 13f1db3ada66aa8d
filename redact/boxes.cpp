#include "redact/boxes.h"

#include "capture/drawing.h"
#include "store/settings.h"

#include <QPainter>

namespace klavoro {
namespace {
constexpr int kMargin = 2;
}

void paintSolidBox(QImage& image, const QRect& box, const QColor& colour) {
    const QRect r = box.intersected(image.rect());
    if (r.isEmpty()) return;
    // A palette picture (GIF) cannot be painted on; it takes true colour.
    if (image.format() <= QImage::Format_Indexed8)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QColor solid = colour;
    solid.setAlpha(255);
    painter.fillRect(r, solid);
}

int paintRedactionBoxes(QImage& image, QPoint origin, const std::vector<ScreenText>& items,
                        const RedactionRules& rules, const QColor& colour) {
    if (!rules.enabled() || image.isNull()) return 0;
    int painted = 0;
    for (const ScreenText& item : items) {
        if (item.rect.isEmpty()) continue;
        if (!item.password && !rules.matches(item.text)) continue;
        const QRect box =
            item.rect.translated(-origin).adjusted(-kMargin, -kMargin, kMargin, kMargin);
        if (!box.intersects(image.rect())) continue;
        paintSolidBox(image, box, colour);
        ++painted;
    }
    return painted;
}

RedactionRules redactionRulesOf(const Settings& s) {
    return RedactionRules(s.redact != 0, s.redactPatterns, s.redactWords);
}

QColor redactionColourOf(const Settings& s) {
    return colourFromBgr(s.redactColor);
}

} // namespace klavoro
