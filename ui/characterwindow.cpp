#include "ui/characterwindow.h"

#include <QBitmap>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

namespace klavoro {

namespace {

constexpr Qt::WindowFlags kOverlayFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput |
    Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint;

void makeOverlay(QWidget* w) {
    w->setWindowFlags(kOverlayFlags);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_TranslucentBackground);
    w->setFocusPolicy(Qt::NoFocus);
}

// Without a compositor only the mask keeps the corners see-through.
void maskToPixels(QWidget* w, const QImage& image) {
    if (image.isNull()) return;
    w->setMask(QBitmap::fromImage(image.createAlphaMask()));
}

constexpr int kTail = 26; // room below the balloon for its thought bubbles

} // namespace

QString balloonFontFamily(const QString& family) {
    const QStringList installed = QFontDatabase::families();
    if (!family.isEmpty() && installed.contains(family, Qt::CaseInsensitive)) return family;
    for (const char* preferred : {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "IPAGothic",
                                  "VL PGothic", "TakaoPGothic"})
        if (installed.contains(QString::fromLatin1(preferred)))
            return QString::fromLatin1(preferred);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

BalloonWindow::BalloonWindow() {
    makeOverlay(this);
    setObjectName(QStringLiteral("characterBalloon"));
}

void BalloonWindow::setBalloonFont(const QFont& font) {
    setFont(font);
    setText(m_text);
}

void BalloonWindow::setText(const QString& text) {
    m_text = text;
    const QFontMetrics fm(font());
    const QRect r = fm.boundingRect(QRect(0, 0, 240, 400), Qt::TextWordWrap, text);
    resize(std::max(r.width() + 28, 80), r.height() + 22 + kTail);
    QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter p(&shape);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(0, 0, width() - 1, height() - kTail - 1), 14, 14);
        p.drawEllipse(QRectF(width() - 34, height() - kTail + 2, 12, 10));
        p.drawEllipse(QRectF(width() - 22, height() - kTail + 14, 8, 7));
    }
    maskToPixels(this, shape);
    update();
}

void BalloonWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(255, 255, 238));
    const QRectF body(1, 1, width() - 3, height() - kTail - 3);
    p.drawRoundedRect(body, 12, 12);
    p.drawEllipse(QRectF(width() - 33, height() - kTail + 3, 10, 8));
    p.drawEllipse(QRectF(width() - 21, height() - kTail + 15, 6, 5));
    p.setPen(Qt::black);
    p.drawText(body.adjusted(12, 9, -12, -9), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               m_text);
}

CharacterWindow::CharacterWindow(CharacterModel model) : m_model(std::move(model)) {
    makeOverlay(this);
    setObjectName(QStringLiteral("characterWindow"));
    resize(m_model.size);
    move(0, 0); // playback places it only from where it started
    m_frame = m_model.render({});
    maskToPixels(this, m_frame);
    m_timer.setInterval(33);
    connect(&m_timer, &QTimer::timeout, this, &CharacterWindow::tick);
}

void CharacterWindow::queueAnimation(const QString& name) {
    m_queue << name;
    if (!m_timer.isActive()) m_timer.start();
}

void CharacterWindow::tick() {
    if (m_current.isEmpty() || m_clock.elapsed() >= m_model.duration(m_current)) {
        m_current = m_queue.isEmpty() ? QString() : m_queue.takeFirst();
        m_clock.start();
        if (m_current.isEmpty()) {
            m_timer.stop();
            m_frame = m_model.render({});
            maskToPixels(this, m_frame);
            update();
            return;
        }
    }
    m_frame = m_model.render(m_model.poseAt(m_current, int(m_clock.elapsed())));
    maskToPixels(this, m_frame);
    update();
}

void CharacterWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, m_frame);
}

QtCharacter::QtCharacter(CharacterModel model)
    : m_window(new CharacterWindow(std::move(model))), m_balloon(new BalloonWindow) {
    setBalloonFont(QString(), 12);
}

QtCharacter::~QtCharacter() {
    delete m_glide;
    delete m_balloon;
    delete m_window;
}

QString QtCharacter::name() const {
    return m_window->model().name;
}

void QtCharacter::setBalloonFont(const QString& family, int pointSize) {
    QFont f(balloonFontFamily(family));
    f.setPointSize(pointSize > 0 && pointSize < 96 ? pointSize : 12);
    m_balloon->setBalloonFont(f);
}

void QtCharacter::show() {
    m_hiding = false;
    m_window->show();
    m_window->raise();
}

void QtCharacter::hide() {
    m_balloon->hide();
    // Let a queued farewell finish before the window goes.
    m_hiding = true;
    const int rest = m_window->isAnimating()
                         ? m_window->model().duration(m_window->currentAnimation()) + 100
                         : 0;
    QTimer::singleShot(std::min(rest, 1800), m_window, [this] {
        if (m_hiding) m_window->hide();
    });
}

void QtCharacter::think(const QString& text) {
    if (text.isEmpty()) {
        m_balloon->hide();
        return;
    }
    m_balloon->setText(text);
    placeBalloon();
    if (m_window->isVisible()) {
        m_balloon->show();
        m_balloon->raise();
    }
}

bool QtCharacter::play(const QString& animation) {
    if (!m_window->model().hasAnimation(animation)) return false;
    m_window->queueAnimation(animation);
    return true;
}

void QtCharacter::moveTo(int x, int y) {
    delete m_glide;
    m_glide = new QPropertyAnimation(m_window, "pos");
    m_glide->setDuration(350);
    m_glide->setEndValue(QPoint(x, y));
    QObject::connect(m_glide, &QPropertyAnimation::valueChanged, m_balloon,
                     [this] { placeBalloon(); });
    if (m_window->isVisible())
        m_glide->start();
    else
        m_window->move(x, y); // nothing to watch yet
}

void QtCharacter::placeBalloon() {
    // Above the character's head, its tail pointing down at it.
    const QPoint head = m_window->pos() + QPoint(m_window->width() / 2, 0);
    m_balloon->move(head.x() - m_balloon->width() + 16,
                    std::max(0, head.y() - m_balloon->height() + 12));
}

int QtCharacter::left() const {
    return m_window->x();
}
int QtCharacter::top() const {
    return m_window->y();
}
int QtCharacter::width() const {
    return m_window->width();
}
int QtCharacter::height() const {
    return m_window->height();
}
bool QtCharacter::isVisible() const {
    return m_window->isVisible();
}

} // namespace klavoro
