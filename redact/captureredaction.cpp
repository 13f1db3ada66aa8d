#include "redact/captureredaction.h"

#include "platform/screentext.h"
#include "redact/boxes.h"
#include "store/logs.h"
#include "store/settings.h"

#include <algorithm>
#include <utility>

namespace klavoro {

int CaptureRedaction::apply(QImage& image, const QRect& area, QPoint point,
                            const ScreenTextScan* atPress) {
    const Settings& s = conf();
    const RedactionRules rules = redactionRulesOf(s);
    if (!rules.enabled() || image.isNull()) return 0;
    const bool complete =
        atPress && atPress->available && !atPress->timedOut && atPress->unread == 0;
    ScreenTextScan scan;
    bool available = false;
    if (complete) {
        scan = *atPress;
        available = true;
    } else {
        if (m_source) {
            // What the press left unread, and only that: the rest was read
            // as the picture shows it.
            scan = atPress && atPress->left
                       ? m_source->textsLeft(*atPress->left, rules, m_budgetMs)
                       : m_source->textsIn(point, area, rules, m_budgetMs);
            available = scan.available;
        }
        if (atPress) {
            // Boxes from both readings: more covered is safe, less is not. A
            // field boxed at the press only for want of time is left clear
            // when this reading found it, in the same place, to be plain.
            const auto settled = [&](const ScreenText& t) {
                return t.unsure && std::find(scan.plainFields.begin(), scan.plainFields.end(),
                                             t.rect) != scan.plainFields.end();
            };
            for (const ScreenText& t : atPress->texts)
                if (!settled(t)) scan.texts.push_back(t);
            available = available || atPress->available;
        }
    }
    if (!available && !m_toldUnavailable) {
        m_toldUnavailable = true;
        writeLog(QStringLiteral("塗りつぶし: アクセシビリティが使えないため、"
                                "画面の文字を塗りつぶせません"));
    }
    // Only the count: the texts themselves never reach a log.
    if (scan.timedOut) writeLog(QStringLiteral("塗りつぶし: 時間内に画面の文字を読めませんでした"));
    if (scan.unread > 0)
        writeLog(QStringLiteral("塗りつぶし: 時間内に読めなかった要素 %1 個").arg(scan.unread));
    if (rules.badEntries() > 0 && !std::exchange(m_toldBadEntries, true))
        writeLog(QStringLiteral("塗りつぶし: 正しくない正規表現 %1 個を除きました")
                     .arg(rules.badEntries()));
    return paintRedactionBoxes(image, area.topLeft(), scan.texts, rules, redactionColourOf(s));
}

} // namespace klavoro
