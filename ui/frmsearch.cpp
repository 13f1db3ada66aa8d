#include "ui/frmsearch.h"

#include "capture/drawing.h"
#include "platform/inputmethod.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepsearch.h"
#include "ui/frmsplash.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace klavoro {

namespace {

constexpr int kHeightTwips = 2160;
constexpr int kHeightWithReplaceTwips = 3330;
constexpr int kFoundHeight = 140;
constexpr int kImeMonitorMs = 250;

void setCaptionColour(QWidget* w, qint32 bgr) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colourFromBgr(bgr));
    p.setColor(QPalette::ButtonText, colourFromBgr(bgr));
    w->setPalette(p);
}

} // namespace

frmSearch::frmSearch(StepList& steps, StepSearchHost& host, InputMethod* inputMethod,
                     QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_steps(steps),
      m_inputMethod(inputMethod), m_search(std::make_unique<StepSearch>(steps, host)),
      m_imeTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("検索"));
    buildUi();
    m_imeTimer->setInterval(kImeMonitorMs);
    connect(m_imeTimer, &QTimer::timeout, this, &frmSearch::Timer_IME_Timer);
    updateButtons();
    Timer_IME_Timer();
    fitHeight();
}

frmSearch::~frmSearch() = default;

void frmSearch::buildUi() {
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 6, 8, 6);
    top->setSpacing(4);

    auto* row1 = new QHBoxLayout;
    lblStrSearch = new QLabel(QStringLiteral("検索する文字列"), this);
    lblStrSearch->setObjectName(QStringLiteral("lblStrSearch"));
    txtStrSearch = new QLineEdit(this);
    txtStrSearch->setObjectName(QStringLiteral("txtStrSearch"));
    lblStrSearch->setBuddy(txtStrSearch);
    row1->addWidget(lblStrSearch);
    row1->addWidget(txtStrSearch, 1);
    top->addLayout(row1);

    auto* row2 = new QHBoxLayout;
    const QString captions[4] = {QStringLiteral("次を検索"), QStringLiteral("全て検索"),
                                 QStringLiteral("置換して次"), QStringLiteral("全て置換")};
    const QString tips[4] = {QStringLiteral("次の行から検索：最初に見つかった項目"),
                             QStringLiteral("先頭から検索：見つかった全ての項目"),
                             QStringLiteral("次の行から検索：最初に見つかった項目"), QString()};
    for (int i = 0; i < 4; ++i) {
        cmdSearch[i] = new QPushButton(captions[i], this);
        cmdSearch[i]->setObjectName(QStringLiteral("cmdSearch_%1").arg(i));
        cmdSearch[i]->setToolTip(tips[i]);
        cmdSearch[i]->setAutoDefault(false);
        connect(cmdSearch[i], &QPushButton::clicked, this, [this, i] { cmdSearch_Click(i); });
        row2->addWidget(cmdSearch[i]);
    }
    top->addLayout(row2);

    auto* row3 = new QHBoxLayout;
    chkReplace = new QCheckBox(QStringLiteral("置換"), this);
    chkReplace->setObjectName(QStringLiteral("chkReplace"));
    chkReplace->setToolTip(QStringLiteral("指定文字列に置換します"));
    chkCompare = new QCheckBox(QStringLiteral("厳密一致"), this);
    chkCompare->setObjectName(QStringLiteral("chkCompare"));
    chkCompare->setToolTip(QStringLiteral("オンの場合：大/小文字、全/半角を区別します"));
    setCaptionColour(chkCompare, 0xFF00FF);
    lblCnt = new QLabel(this);
    lblCnt->setObjectName(QStringLiteral("lblCnt"));
    lblIME = new QLabel(this);
    lblIME->setObjectName(QStringLiteral("lblIME"));
    lblIME->setToolTip(QStringLiteral("クリックで 日本語⇔English 切り替え"));
    lblIME->setFrameShape(QFrame::Panel);
    lblIME->setFrameShadow(QFrame::Sunken);
    lblIME->setAlignment(Qt::AlignCenter);
    lblIME->setMinimumWidth(64);
    lblIME->installEventFilter(this);
    row3->addWidget(chkReplace);
    row3->addWidget(chkCompare);
    row3->addWidget(lblCnt, 1);
    row3->addWidget(lblIME);
    top->addLayout(row3);

    frReplace = new QGroupBox(this);
    frReplace->setObjectName(QStringLiteral("frReplace"));
    auto* rep = new QHBoxLayout(frReplace);
    rep->setContentsMargins(6, 4, 6, 4);
    lblReplace = new QLabel(QStringLiteral("置換後の文字列"), frReplace);
    lblReplace->setObjectName(QStringLiteral("lblReplace"));
    txtReplace = new QLineEdit(frReplace);
    txtReplace->setObjectName(QStringLiteral("txtReplace"));
    lblReplace->setBuddy(txtReplace);
    rep->addWidget(lblReplace);
    rep->addWidget(txtReplace, 1);
    frReplace->hide();
    top->addWidget(frReplace);

    frLblJump = new QGroupBox(QStringLiteral("Jump to Label"), this);
    frLblJump->setObjectName(QStringLiteral("frLblJump"));
    auto* jump = new QHBoxLayout(frLblJump);
    jump->setContentsMargins(6, 2, 6, 2);
    const QString jumpCaptions[2] = {QStringLiteral("ラベル単位にジャンプ（上方）"),
                                     QStringLiteral("ラベル単位にジャンプ（下方）")};
    for (int i = 0; i < 2; ++i) {
        cmdLblJump[i] = new QPushButton(jumpCaptions[i], frLblJump);
        cmdLblJump[i]->setObjectName(QStringLiteral("cmdLblJump_%1").arg(i));
        cmdLblJump[i]->setToolTip(QStringLiteral("ラベルを上/下方向に検索してジャンプします。"));
        cmdLblJump[i]->setAutoDefault(false);
        // Steps carry no labels to jump between yet.
        cmdLblJump[i]->setEnabled(false);
        jump->addWidget(cmdLblJump[i]);
    }
    top->addWidget(frLblJump);

    txtFound = new QPlainTextEdit(this);
    txtFound->setObjectName(QStringLiteral("txtFound"));
    txtFound->setReadOnly(true);
    txtFound->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtFound->setFixedHeight(kFoundHeight);
    txtFound->hide();
    top->addWidget(txtFound);
    top->addStretch(1);

    connect(txtStrSearch, &QLineEdit::textChanged, this, &frmSearch::txtStrSearch_Change);
    connect(txtStrSearch, &QLineEdit::returnPressed, this, [this] {
        if (cmdSearch[0]->isEnabled()) cmdSearch_Click(0);
    });
    connect(txtReplace, &QLineEdit::returnPressed, this, [this] {
        if (cmdSearch[2]->isEnabled()) cmdSearch_Click(2);
    });
    connect(chkReplace, &QCheckBox::toggled, this, &frmSearch::chkReplace_Click);
    connect(chkCompare, &QCheckBox::toggled, this, &frmSearch::chkCompare_Click);
    setMinimumWidth(560);
}

void frmSearch::fitHeight() {
    // The rows without the optional parts take at least 2160 twips; the
    // replace panel adds up to 3330, the result box its own height.
    layout()->activate();
    const int spacing = layout()->spacing();
    const bool panel = chkReplace->isChecked();
    const int panelMin = panel ? frReplace->minimumSizeHint().height() + spacing : 0;
    const int found = txtFound->isVisible() ? kFoundHeight + spacing : 0;
    const int rows = layout()->minimumSize().height() - panelMin - found;
    int height = std::max(twipsToPixels(kHeightTwips), rows) + found;
    if (panel) height += std::max(twipsToPixels(kHeightWithReplaceTwips - kHeightTwips), panelMin);
    setFixedHeight(height);
}

void frmSearch::updateButtons() {
    const bool hasText = !txtStrSearch->text().isEmpty();
    cmdSearch[0]->setEnabled(hasText);
    cmdSearch[1]->setEnabled(hasText);
    // Replacing needs the replacement in view, and a search that found something.
    const bool canReplace =
        hasText && chkReplace->isChecked() && txtFound->toPlainText() != kNoMatch;
    cmdSearch[2]->setEnabled(canReplace);
    cmdSearch[3]->setEnabled(canReplace);
}

QString frmSearch::hitText(int index) const {
    const int n = index + 1;
    QString sentence = m_steps.field(n, FieldMessage);
    sentence.replace(u'\x04', u' ');
    return QStringLiteral("%1\t%2\t%3").arg(n).arg(m_steps.field(n, FieldImageName), sentence);
}

void frmSearch::showHits(const QList<int>& hits, const QString& countText) {
    QStringList lines;
    for (int i : hits)
        lines << hitText(i);
    txtFound->setPlainText(hits.isEmpty() ? kNoMatch : lines.join(u'\n'));
    lblCnt->setText(countText);
    txtFound->show();
}

void frmSearch::cmdSearch_Click(int index) {
    for (QPushButton* b : cmdSearch)
        b->setEnabled(false);
    lblCnt->clear();
    const QString text = txtStrSearch->text();
    const bool strict = chkCompare->isChecked();
    switch (index) {
    case 0: {
        txtFound->hide();
        const int hit = m_search->findNext(text, strict);
        txtFound->setPlainText(hit >= 0 ? hitText(hit) : kNoMatch);
        break;
    }
    case 1: {
        const QList<int> hits = m_search->findAll(text, strict);
        showHits(hits, QStringLiteral("%1件").arg(hits.size()));
        break;
    }
    case 2: {
        txtFound->hide();
        const int replaced = m_search->replaceAndFindNext(text, txtReplace->text(), strict);
        const int hit = m_search->lastHit();
        txtFound->setPlainText(hit >= 0 ? hitText(hit) : kNoMatch);
        if (replaced >= 0)
            lblCnt->setText(m_search->saveFailed() ? QStringLiteral("1件置換（保存失敗）")
                                                   : QStringLiteral("1件置換"));
        break;
    }
    case 3: {
        const QList<int> changed = m_search->replaceAll(text, txtReplace->text(), strict);
        QString count = QStringLiteral("%1件置換").arg(changed.size());
        if (!changed.isEmpty() && m_search->saveFailed()) count += QStringLiteral("（保存失敗）");
        showHits(changed, count);
        break;
    }
    default:
        break;
    }
    updateButtons();
    fitHeight();
}

void frmSearch::txtStrSearch_Change() {
    // "一致無し" was the verdict on the old text.
    if (txtFound->toPlainText() == kNoMatch) txtFound->clear();
    updateButtons();
}

void frmSearch::chkReplace_Click() {
    frReplace->setVisible(chkReplace->isChecked());
    updateButtons();
    fitHeight();
}

void frmSearch::chkCompare_Click() {
    setCaptionColour(chkCompare, chkCompare->isChecked() ? 0x808080 : 0xFF00FF);
}

void frmSearch::Timer_IME_Timer() {
    const bool open = m_inputMethod && m_inputMethod->isOpen();
    const QString caption = open ? QStringLiteral("日本語") : QStringLiteral("English");
    if (lblIME->text() != caption) lblIME->setText(caption);
}

void frmSearch::lblIME_Click() {
    if (!m_inputMethod || !m_inputMethod->isAvailable()) return;
    m_inputMethod->setOpen(!m_inputMethod->isOpen());
    Timer_IME_Timer();
}

void frmSearch::Timer_Focus_Timer() {
    activateWindow();
    txtStrSearch->setFocus();
    // After the focus: a framework switches the input method of the focused field.
    if (m_inputMethod && m_inputMethod->isAvailable()) m_inputMethod->setOpen(conf().editMode != 0);
    Timer_IME_Timer();
}

void frmSearch::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_opened) return;
    m_opened = true;
    QTimer::singleShot(0, this, &frmSearch::Timer_Focus_Timer);
    m_imeTimer->start();
}

void frmSearch::closeEvent(QCloseEvent* event) {
    m_imeTimer->stop();
    // Without a framework the state is unknown: the remembered one stays.
    if (m_inputMethod && m_inputMethod->isAvailable())
        conf().editMode = m_inputMethod->isOpen() ? 1 : 0;
    QWidget::closeEvent(event);
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblIME && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblIME_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace klavoro
