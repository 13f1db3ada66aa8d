#include "settings/frmsetting.h"

#include "settings/settingpickers.h"
#include "settings/settingwidgets.h"
#include "ui/qtdialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace klavoro {
namespace {

constexpr qint32 kPageGrey = 0xE0E0E0;
constexpr qint32 kPageChosen = 0xFFFFC0;
// Long enough for the window manager to have shown and activated the window.
constexpr int kFocusDelayMs = 100;

const char* const kPageButtons[SettingsPageCount] = {"その他", "操作概要", "保存", "キー",
                                                     "キャプチャー"};
const char* const kPageTitles[SettingsPageCount] = {"その他", "操作概要", "保存", "キーボード",
                                                    "キャプチャー"};

bool isDigitText(const QString& text) {
    return text.size() == 1 && text[0] >= '0' && text[0] <= '9';
}

// Keys that move the focus or close the window pass every filter.
bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

} // namespace

frmSetting::frmSetting(Settings& settings, SettingHooks hooks, Dialogs* dialogs,
                       SettingPickers* pickers, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_hooks(std::move(hooks)),
      m_ownDialogs(dialogs ? nullptr : std::make_unique<QtDialogs>(this)),
      m_dialogs(dialogs ? dialogs : m_ownDialogs.get()),
      m_ownPickers(pickers ? nullptr : std::make_unique<QtSettingPickers>()),
      m_pickers(pickers ? pickers : m_ownPickers.get()), m_edit(settings, *m_dialogs) {
    setObjectName(QStringLiteral("frmSetting"));
    setWindowTitle(QStringLiteral("設定"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    menuBar = new QMenuBar(this);
    mnuClose = menuBar->addAction(QStringLiteral("閉じる"));
    mnuClose->setObjectName(QStringLiteral("mnuClose"));
    connect(mnuClose, &QAction::triggered, this, [this] { cmdClose_Click(0); });
    layout->setMenuBar(menuBar);

    auto* pageRow = new QHBoxLayout;
    frPages = new QStackedWidget(this);
    for (int i = 0; i < SettingsPageCount; ++i) {
        cmdPage[size_t(i)] = new QPushButton(QString::fromUtf8(kPageButtons[i]), this);
        cmdPage[size_t(i)]->setObjectName(QStringLiteral("cmdPage_%1").arg(i));
        cmdPage[size_t(i)]->setAutoDefault(false);
        connect(cmdPage[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdPage_Click(i); });
        pageRow->addWidget(cmdPage[size_t(i)]);
        auto* page = new QGroupBox(QString::fromUtf8(kPageTitles[i]), frPages);
        page->setObjectName(QStringLiteral("frPage_%1").arg(i));
        frPage[size_t(i)] = page;
        frPages->addWidget(page);
    }
    layout->addLayout(pageRow);
    layout->addWidget(frPages, 1);

    buildOtherPage(frPage[PageOther]);
    buildPlayPage(frPage[PagePlay]);
    buildSavePage(frPage[PageSave]);
    buildKeysPage(frPage[PageKeys]);
    buildCapturePage(frPage[PageCapture]);

    auto* closeFrame = new QWidget(this);
    closeFrame->setObjectName(QStringLiteral("frClose"));
    auto* closeRow = new QHBoxLayout(closeFrame);
    closeRow->addStretch(1);
    const char* const closeTexts[2] = {"Ok", "Cancel"};
    const char* const closeTips[2] = {"設定を有効にして閉じる", "設定をキャンセルして閉じる"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(closeTexts[i]), closeFrame);
        b->setObjectName(QStringLiteral("cmdClose_%1").arg(i));
        b->setToolTip(QString::fromUtf8(closeTips[i]));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdClose_Click(i); });
        cmdClose[size_t(i)] = b;
        closeRow->addWidget(b);
    }
    layout->addWidget(closeFrame);

    const SettingsForm& f = m_edit.open();
    fillCapturePage(f);
    fillSavePage(f);
    fillPlayPage(f);
    fillKeysPage(f);
    fillOtherPage(f);
    cmdPage_Click(f.pageIndex);

    m_focusTimer = new QTimer(this);
    m_focusTimer->setSingleShot(true);
    m_focusTimer->setInterval(kFocusDelayMs);
    connect(m_focusTimer, &QTimer::timeout, this, [this] {
        // Without a window manager nobody else activates a new window.
        activateWindow();
        cmdClose[1]->setFocus();
    });
}

frmSetting::~frmSetting() = default;

QSize frmSetting::screenPixels() const {
    // The toolkit's screens are in its units: scaled windows make them smaller
    // than the pictures, which are in the screen's pixels.
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return QSize();
    const qreal ratio = s->devicePixelRatio();
    return QSize(qRound(s->geometry().width() * ratio), qRound(s->geometry().height() * ratio));
}

void frmSetting::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) m_focusTimer->start();
}

void frmSetting::cmdPage_Click(int index) {
    if (index < 0 || index >= SettingsPageCount) index = 0;
    for (QPushButton* b : cmdPage)
        setBackColour(b, kPageGrey);
    frPages->setCurrentIndex(index);
    setBackColour(cmdPage[size_t(index)], kPageChosen);
    m_pageIndex = index;
}

void frmSetting::cmdClose_Click(int index) {
    m_edit.cancel();
    if (index != 0) {
        reject();
        return;
    }
    // The control being left is checked first, as if the focus had left it.
    QWidget* leaving = m_pendingLeave ? m_pendingLeave.data() : focusWidget();
    m_pendingLeave = nullptr;
    if (leaving && m_leaveChecked.contains(leaving) && !checkLeave(leaving)) {
        focusControl(leaving);
        return;
    }
    SettingsForm form = readForm();
    form.pageIndex = m_pageIndex;
    if (m_edit.accept(form) == SettingsEdit::OkResult::BadSaveFolder) {
        focusControl(txtSaveFolderPath);
        return;
    }
    accept();
}

void frmSetting::reject() {
    m_edit.cancel();
    m_pendingLeave = nullptr;
    QDialog::reject();
}

SettingsForm frmSetting::readForm() const {
    SettingsForm f;
    readCapturePage(f);
    readSavePage(f);
    readPlayPage(f);
    readKeysPage(f);
    readOtherPage(f);
    return f;
}

// --- leave checks ---

void frmSetting::watchLeave(QWidget* control) {
    m_leaveChecked.insert(control);
    control->installEventFilter(this);
}

void frmSetting::onFocusOut(QWidget* control, int reason) {
    // Another window (a message box, a list's drop-down) took the focus, or
    // the user cancels: nothing is being left for good.
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
    if (m_refocusing || QApplication::focusWidget() == cmdClose[1]) return;
    m_pendingLeave = control;
    // After the click that moved the focus has been handled, so that no
    // message box opens in the middle of a button press.
    QMetaObject::invokeMethod(this, &frmSetting::runPendingLeave, Qt::QueuedConnection);
}

void frmSetting::runPendingLeave() {
    QWidget* control = m_pendingLeave;
    m_pendingLeave = nullptr;
    if (!control || !isVisible()) return;
    if (!checkLeave(control)) focusControl(control);
}

bool frmSetting::checkLeave(QWidget* control) {
    for (int i = 0; i < 5; ++i)
        if (control == cmbHotKey[size_t(i)]) return m_edit.leaveHotKey(hotKeyTexts(), i);
    if (control == txtMaxCnt) {
        QString text = txtMaxCnt->text();
        const int steps = m_hooks.recordedSteps ? m_hooks.recordedSteps() : 0;
        const bool ok = m_edit.leaveMaxCnt(text, steps);
        if (text != txtMaxCnt->text()) txtMaxCnt->setText(text);
        return ok;
    }
    if (control == cmbSaveJpgQuality)
        return m_edit.leaveJpgQuality(cmbSaveJpgQuality->currentText());
    for (QComboBox* box : cmbRect)
        if (control == box) return m_edit.leaveRect(rectTexts());
    for (int i = 0; i < 2; ++i) {
        QLineEdit* size = txtMaxSize[size_t(i)];
        QLineEdit* thumb = txtThumbnail[size_t(i)];
        if (control == size && !m_edit.leaveMaxSize(i, size->text(), screenPixels())) {
            size->setText(m_tags.value(size));
            return false;
        }
        if (control == thumb && !m_edit.leaveThumbnail(i, thumb->text(), screenPixels())) {
            thumb->setText(m_tags.value(thumb));
            return false;
        }
    }
    return true;
}

void frmSetting::focusControl(QWidget* control) {
    for (int i = 0; i < SettingsPageCount; ++i)
        if (frPage[size_t(i)]->isAncestorOf(control) && i != m_pageIndex) cmdPage_Click(i);
    // A message box may have taken the activation; without a window manager
    // nobody hands it back.
    activateWindow();
    m_refocusing = true;
    control->setFocus(Qt::OtherFocusReason);
    m_refocusing = false;
}

std::array<QString, 5> frmSetting::hotKeyTexts() const {
    std::array<QString, 5> t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = cmbHotKey[i]->currentText();
    return t;
}

std::array<QString, 4> frmSetting::rectTexts() const {
    std::array<QString, 4> t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = cmbRect[i]->currentText();
    return t;
}

// --- typed-key filters ---

void frmSetting::digitsOnly(QWidget* control) {
    m_digits.insert(control);
    control->installEventFilter(this);
}

void frmSetting::pickOnly(QComboBox* box) {
    m_pickOnly.insert(box);
    box->installEventFilter(this);
}

bool frmSetting::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts (select all, copy, paste) are not typing; the validators
        // keep pasted text to digits.
        if (isNavigationKey(key->key()) || key->text().isEmpty() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            break;
        if (m_pickOnly.contains(watched)) return true;
        if (m_digits.contains(watched) && !isDigitText(key->text()) &&
            key->key() != Qt::Key_Backspace)
            return true;
        break;
    }
    case QEvent::FocusIn:
        if (m_leaveChecked.contains(watched)) {
            if (const auto* edit = qobject_cast<QLineEdit*>(watched))
                m_tags[watched] = edit->text();
        }
        break;
    case QEvent::FocusOut:
        if (m_leaveChecked.contains(watched))
            onFocusOut(static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(event)->reason());
        break;
    case QEvent::MouseButtonPress:
        if (watched == static_cast<QObject*>(lblSecret))
            frSecret->setVisible(!frSecret->isVisibleTo(this));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace klavoro
