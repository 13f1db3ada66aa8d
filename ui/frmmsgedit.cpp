#include "ui/frmmsgedit.h"

#include "platform/inputmethod.h"
#include "edit/messageedit.h"
#include "store/settings.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace klavoro {

namespace {
// The input method answers over the session bus: a quarter second is quick
// enough for a label and keeps the bus quiet (the search window does the same).
constexpr int kMonitorMs = 250;
constexpr int kMinFontSize = 6, kMaxFontSize = 72;
} // namespace

frmMsgEdit::frmMsgEdit(MessageEditSession& session, InputMethod* ime, QWidget* parent)
    : QDialog(parent), m_session(session), m_ime(ime) {
    setObjectName(QStringLiteral("frmMsgEdit"));
    setWindowTitle(QStringLiteral("編集"));

    txtMsg = new QPlainTextEdit(this);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setTabChangesFocus(true); // a TAB would split the step line
    txtMsg->viewport()->installEventFilter(this);

    lblIME = new QLabel(this);
    lblIME->setObjectName(QStringLiteral("lblIME"));
    lblIME->setToolTip(QStringLiteral("クリックで 日本語⇔English 切り替え"));
    lblIME->installEventFilter(this);

    const QString moves[2] = {QStringLiteral("＜"), QStringLiteral("＞")};
    const QString closes[2] = {QStringLiteral("Ok"), QStringLiteral("Cancel")};
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        lblMv[i] = new QLabel(moves[i], this);
        lblMv[i]->setObjectName(QStringLiteral("lblMv_%1").arg(i));
        lblMv[i]->setCursor(Qt::PointingHandCursor);
        lblMv[i]->installEventFilter(this);
        row->addWidget(lblMv[i]);
    }
    row->addWidget(lblIME);
    row->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        cmdClose[i] = new QPushButton(closes[i], this);
        cmdClose[i]->setObjectName(QStringLiteral("cmdClose_%1").arg(i));
        cmdClose[i]->setAutoDefault(false);
        connect(cmdClose[i], &QPushButton::clicked, this, [this, i] { cmdClose_Click(i); });
        row->addWidget(cmdClose[i]);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(txtMsg, 1);
    layout->addLayout(row);

    connect(txtMsg, &QPlainTextEdit::textChanged, this, &frmMsgEdit::txtMsg_Change);
    Timer_Monitor = new QTimer(this);
    Timer_Monitor->setInterval(kMonitorMs);
    connect(Timer_Monitor, &QTimer::timeout, this, &frmMsgEdit::Timer_Monitor_Timer);
}

void frmMsgEdit::prepare(QPoint pointer, int sentenceLeft) {
    const Settings& s = conf();
    QSize size = sizeHint();
    if (s.editWidth > 0 && s.editHeight > 0)
        size = QSize(twipsToPixels(s.editWidth), twipsToPixels(s.editHeight));
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    const QRect place = editorGeometry(size, sentenceLeft, pointer, area);
    resize(place.size());
    move(place.topLeft());
    if (s.editFontsize > 0) {
        QFont f = txtMsg->font();
        f.setPointSize(s.editFontsize);
        txtMsg->setFont(f);
    }
    m_imeToApply = true;
    showText(m_session.load());
    Timer_Monitor_Timer();
    Timer_Monitor->start();
}

void frmMsgEdit::showText(const QString& text) {
    m_loading = true;
    txtMsg->setPlainText(text);
    m_loading = false;
    m_session.setDirty(false); // the modified mark starts clear
    txtMsg->moveCursor(QTextCursor::End);
}

void frmMsgEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The input method follows the focused window, so it is set once shown.
    if (m_imeToApply && m_ime && m_ime->isAvailable()) {
        m_imeToApply = false;
        QTimer::singleShot(0, this, [this] {
            m_ime->setOpen(conf().editMode != 0);
            Timer_Monitor_Timer();
        });
    }
}

void frmMsgEdit::txtMsg_Change() {
    if (!m_loading) m_session.setDirty(true);
}

void frmMsgEdit::Timer_Monitor_Timer() {
    const bool open = m_ime && m_ime->isOpen();
    const QString text = open ? QStringLiteral("日本語") : QStringLiteral("English");
    if (lblIME->text() != text) lblIME->setText(text);
}

void frmMsgEdit::lblIME_Click() {
    if (!m_ime || !m_ime->isAvailable()) return;
    m_ime->setOpen(!m_ime->isOpen());
    Timer_Monitor_Timer();
}

void frmMsgEdit::lblMv_Click(int index) {
    QString next;
    if (m_session.move(index == 0 ? -1 : +1, txtMsg->toPlainText(), &next)) showText(next);
    txtMsg->setFocus();
}

void frmMsgEdit::cmdClose_Click(int index) {
    Timer_Monitor->stop();
    if (index == 1) {
        reject();
        return;
    }
    m_session.store(txtMsg->toPlainText());
    Settings& s = conf();
    s.editWidth = pixelsToTwips(width());
    s.editHeight = pixelsToTwips(height());
    // Without a framework the remembered state stays.
    if (m_ime && m_ime->isAvailable()) s.editMode = m_ime->isOpen() ? 1 : 0;
    s.editFontsize = txtMsg->font().pointSize();
    accept();
}

bool frmMsgEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblIME)
            lblIME_Click();
        else if (watched == lblMv[0])
            lblMv_Click(0);
        else if (watched == lblMv[1])
            lblMv_Click(1);
    }
    // Ctrl + wheel sets the font size that Ok remembers.
    if (watched == txtMsg->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            QFont f = txtMsg->font();
            const int step = wheel->angleDelta().y() > 0 ? 1 : -1;
            f.setPointSize(std::clamp(f.pointSize() + step, kMinFontSize, kMaxFontSize));
            txtMsg->setFont(f);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool runMessageEditor(MessageEditSession& session, InputMethod* ime, QWidget* parent,
                      QPoint pointer, int sentenceLeft) {
    frmMsgEdit editor(session, ime, parent);
    editor.prepare(pointer, sentenceLeft);
    return editor.exec() == QDialog::Accepted;
}

} // namespace klavoro
