#include "ui/frmpopup.h"

#include "capture/drawing.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace klavoro {

namespace {

constexpr int kLabelLeft = 10;
constexpr int kLabelTop = 20;
constexpr int kMargin = 3;
constexpr int kCloseSize = 18;
constexpr int kRightGap = 10;
constexpr int kBottomGap = 50;

} // namespace

frmPopup::frmPopup(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("frmPopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = lblMsg->font();
    f.setPointSize(14);
    f.setBold(true);
    lblMsg->setFont(f);
    cmdClose = new QPushButton(QStringLiteral("×"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setFocusPolicy(Qt::NoFocus);
    cmdClose->setFlat(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmPopup::unload);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &frmPopup::tick);
}

void frmPopup::load(const QString& text, qint32 colour, int countdownMs, const QRect& monitor) {
    QPalette p = lblMsg->palette();
    p.setColor(QPalette::WindowText, colourFromBgr(colour < 0 ? kDefaultColour : colour));
    lblMsg->setPalette(p);
    lblMsg->setText(text);
    const QFontMetrics fm(lblMsg->font());
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int width = std::clamp(widest + kLabelLeft + kMargin + 8, 180, 600);
    const int height = kLabelTop + fm.lineSpacing() * int(text.count(u'\n') + 1) + 16;
    setFixedSize(width, height);
    placeInCorner(monitor);
    m_countdown = countdownMs;
    m_timer->start();
    show();
    raise();
}

void frmPopup::placeInCorner(const QRect& monitor) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (monitor.isNull() && !screen) return;
    const QRect s = monitor.isNull() ? screen->geometry() : monitor;
    move(s.x() + s.width() - kRightGap - width(), s.y() + s.height() - kBottomGap - height());
}

void frmPopup::tick() {
    m_countdown -= kTickMs;
    if (m_countdown <= 0) unload();
}

void frmPopup::unload() {
    m_timer->stop();
    hide();
}

void frmPopup::enterEvent(QEnterEvent* event) {
    QFrame::enterEvent(event);
    unload();
}

void frmPopup::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    cmdClose->setGeometry(width() - kCloseSize - kMargin, kMargin, kCloseSize, kCloseSize);
    lblMsg->setGeometry(kLabelLeft, kLabelTop, width() - kLabelLeft - kMargin,
                        height() - kLabelTop - kMargin);
}

} // namespace klavoro
