#include "export/htmlpage.h"

#include "export/htmltext.h"
#include "store/capturefolder.h"
#include "store/pathops.h"
#include "store/settings.h"

namespace klavoro {
namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString cssColour(qint32 bgr) {
    const int r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    return QString::asprintf("#%02x%02x%02x", r, g, b);
}
} // namespace

QString sentenceHtml(const QStringList& lines) {
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString& line : lines)
        escaped << htmlEscape(line);
    return QStringLiteral("<span class='headding'>") + escaped.join(QLatin1String("<br>")) +
           QStringLiteral("</span>");
}

QString imageHtml(const QString& imageName, const QString& foundFile, bool thumbnails,
                  const QString& altText) {
    if (imageName.isEmpty()) return {};
    // File names go into the URL percent-encoded: a quote in a name stays
    // inside the attribute.
    const QString file = htmlAttribute(urlSegment(foundFile));
    const QString alt = QStringLiteral(" alt='") + htmlAttribute(altText) + '\'';
    if (!thumbnails) return QStringLiteral("<IMG src='") + file + '\'' + alt + '>';
    const QString thumb =
        QStringLiteral("Thumb/") + htmlAttribute(urlSegment(thumbnailFileName(imageName)));
    return QStringLiteral("<A class='fancybox' href='") + file +
           QStringLiteral("' target='_blank'><IMG src='") + thumb + '\'' + alt +
           QStringLiteral(" title='クリックで拡大します。'></A>");
}

QString stepBlockHtml(const QString& numberText, const QStringList& lines, const QString& image) {
    const QString number = QStringLiteral("<span class='no'>") + htmlEscapeMarkup(numberText) +
                           QStringLiteral("</span>");
    return QStringLiteral("  <div>") + number + sentenceHtml(lines) + QStringLiteral("</div>") +
           kCrLf + QStringLiteral("  ") + image + QStringLiteral("  <br>") + kCrLf + kCrLf;
}

QString borderStyleHtml(const Settings& s) {
    QString rule;
    if (s.htmlBorder == 0 || s.htmlBorderWeight <= 0)
        rule = QStringLiteral("border:none;");
    else
        rule = QStringLiteral("border:%1px %2 %3;")
                   .arg(s.htmlBorderWeight)
                   .arg(s.htmlBorderDouble ? QStringLiteral("double") : QStringLiteral("solid"))
                   .arg(cssColour(s.htmlBorderColor));
    return QStringLiteral("<style type='text/css'>#items img{") + rule +
           QStringLiteral("}</style>");
}

QString titleHtml(const QString& title, const QString& date) {
    return QStringLiteral("<h1>") + htmlEscapeMarkup(title) + QStringLiteral("</h1>") + kCrLf +
           QStringLiteral("<p class='date'>") + htmlEscapeMarkup(date) + QStringLiteral("</p>") +
           kCrLf;
}

QString pageHtml(const QString& title, const QString& date, const QString& menuFragment,
                 const QString& body, const QString& borderStyle) {
    QString page;
    page.reserve(body.size() + menuFragment.size() + 2048);
    page += QStringLiteral("<!DOCTYPE html><html lang='ja'><HEAD>") + kCrLf;
    page +=
        QStringLiteral("<META http-equiv='Content-Type' content='text/html; charset=Shift_JIS'>") +
        kCrLf;
    page += QStringLiteral("<META http-equiv='Content-Style-Type' content='text/css'>") + kCrLf;
    page +=
        QStringLiteral("<TITLE>") + htmlEscapeMarkup(title) + QStringLiteral("</TITLE>") + kCrLf;
    page += QStringLiteral("<SCRIPT src='js/jquery.min.js'></SCRIPT>") + kCrLf;
    page += QStringLiteral("<script type='text/javascript' src='js/def-js.js'></script>") + kCrLf;
    page +=
        QStringLiteral("<script type='text/javascript' src='js/custom-js.js'></script>") + kCrLf;
    page += QStringLiteral("<script type='text/javascript' src='js/html-js.js'></script>") + kCrLf;
    page +=
        QStringLiteral("<link rel='stylesheet' type='text/css' href='js/html-style.css'>") + kCrLf;
    // The border comes from the settings; custom-style.css, linked after it,
    // can still override it.
    page += borderStyle + kCrLf;
    page += QStringLiteral("<link rel='stylesheet' type='text/css' href='js/custom-style.css'>") +
            kCrLf;
    page += QStringLiteral("<link rel='stylesheet' type='text/css' href='js/jquery.fancybox.css' "
                           "media='screen'>") +
            kCrLf;
    page += QStringLiteral("<script type='text/javascript' src='js/jquery.fancybox.js'></script>") +
            kCrLf;
    page += QStringLiteral("<script type='text/javascript'>$(document).ready(function() "
                           "{$('.fancybox').fancybox();});</script>") +
            kCrLf;
    page += QStringLiteral("</HEAD>") + kCrLf + QStringLiteral("<Body>") + kCrLf + kCrLf;
    // Landmarks, so that screen readers can jump to the steps.
    page += QStringLiteral("<div id='menu' role='banner'>") + kCrLf + titleHtml(title, date) +
            menuFragment + QStringLiteral("</div>") + kCrLf + kCrLf + kCrLf;
    page += QStringLiteral("<div id='items' role='main'>") + kCrLf + kCrLf + body +
            QStringLiteral("</div>") + kCrLf + kCrLf;
    page += QStringLiteral("<div style='height:300px;'></div>") + kCrLf + kCrLf +
            QStringLiteral("</BODY>") + kCrLf + QStringLiteral("</HTML>");
    return page;
}

void LayeredText::append(const QString& block) {
    m_small += block;
}

void LayeredText::stepDone(int step) {
    if (step % 50 == 0) {
        m_middle += m_small;
        m_small.clear();
    }
    if (step % 1000 == 0) {
        m_large += m_middle;
        m_middle.clear();
    }
}

QString LayeredText::take() {
    QString all = m_large + m_middle + m_small;
    m_large.clear();
    m_middle.clear();
    m_small.clear();
    return all;
}

} // namespace klavoro
