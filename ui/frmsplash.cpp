#include "ui/frmsplash.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include <algorithm>

namespace klavoro {

namespace {

constexpr int kLabelTopTwips = 120;
constexpr int kLineTwips = 500;
constexpr int kBottomTwips = 200;
constexpr int kLabelLeft = 12;
constexpr int kMinWidth = 360;
constexpr int kMaxWidth = 900;

QString displayText(QString text) {
    text.replace(QLatin1String("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      m_closeTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setAutoFillBackground(true);
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = lblMsg->font();
    f.setPointSize(12);
    lblMsg->setFont(f);
    m_closeTimer->setSingleShot(true);
    connect(m_closeTimer, &QTimer::timeout, this, &frmSplash::unload);
}

int frmSplash::lineCount(const QString& text) {
    int breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r') {
            ++breaks;
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else if (text.at(i) == u'\n') {
            ++breaks;
        }
    }
    return breaks + 1;
}

int frmSplash::heightTwips(const QString& text) {
    return kLabelTopTwips + lineCount(text) * kLineTwips + kBottomTwips;
}

void frmSplash::fitToText(const QString& text) {
    const QString shown = displayText(text);
    const QFontMetrics fm(lblMsg->font());
    int widest = 0;
    for (const QString& line : shown.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int width = std::clamp(widest + 2 * kLabelLeft, kMinWidth, kMaxWidth);
    const int top = twipsToPixels(kLabelTopTwips);
    const int labelHeight = twipsToPixels(lineCount(text) * kLineTwips);
    lblMsg->setText(shown);
    lblMsg->setGeometry(kLabelLeft, top, width - 2 * kLabelLeft, labelHeight);
    setFixedSize(width, twipsToPixels(heightTwips(text)));
}

void frmSplash::load(const QString& text, int displayMs) {
    m_message = text;
    fitToText(text);
    m_closeTimer->stop();
    if (displayMs > 0) m_closeTimer->start(displayMs);
    show();
    raise();
}

void frmSplash::setMessage(const QString& text) {
    if (text == m_message) return;
    m_message = text;
    // The height follows the text, so a message with more lines is not cut.
    fitToText(text);
}

QString frmSplash::message() const {
    return m_message;
}

void frmSplash::unload() {
    m_closeTimer->stop();
    hide();
}

} // namespace klavoro
