// The main window's widgets, their layout and the display settings.
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/frmklavoro.h"
#include "ui/imagesizepanel.h"
#include "ui/imageviewer.h"
#include "ui/mainwindowui.h"
#include "ui/screens.h"
#include "ui/steplistdelegate.h"
#include "ui/thumbnailstrip.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace klavoro {

namespace {

QLineEdit* detailField(QWidget* parent, const char* name, const QString& tip, int chars) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(tip);
    edit->setReadOnly(true);
    if (chars > 0) {
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 3);
    }
    return edit;
}

QLabel* infoLabel(QWidget* parent, const char* name, const QString& tip = QString()) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(tip);
    return label;
}

QPushButton* mainButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setContextMenuPolicy(Qt::CustomContextMenu); // a right click runs its variant
    button->setFocusPolicy(Qt::TabFocus);
    // The style's minimum push-button width would make the row too wide.
    button->setStyleSheet(QStringLiteral("QPushButton { padding: 3px 6px; }"));
    return button;
}

} // namespace

void frmKlavoro::buildUi() {
    m_ui = std::make_unique<frmKlavoroUi>();
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 4, 4, 2);
    outer->setSpacing(3);

    // Buttons and display modes; the window's default size is 500 x 400, so
    // everything here stays narrow.
    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    cmdGo = mainButton(central, "cmdGo", QStringLiteral("記録"),
                       QStringLiteral("記録開始（右クリック：手動キャプチャーで開始）"));
    cmdStop =
        mainButton(central, "cmdStop", QStringLiteral("停止"), QStringLiteral("記録／再生を停止"));
    cmdPlay = mainButton(central, "cmdPlay", QStringLiteral("再生"),
                         QStringLiteral("再生（左クリック:先頭から 右クリック：選択位置から）"));
    cmdSetting = mainButton(central, "cmdSetting", QStringLiteral("設定"),
                            QStringLiteral("設定画面を開きます"));
    cmdOpenFolder = mainButton(central, "cmdOpenFolder", QStringLiteral("開く"),
                               QStringLiteral("保存先フォルダを開きます"));
    cmdChangeFolder =
        mainButton(central, "cmdChangeFolder", QStringLiteral("保存先"),
                   QStringLiteral("保存先フォルダの変更（右クリック：新規フォルダ作成なし）"));
    for (QPushButton* b : {cmdGo, cmdStop, cmdPlay})
        top->addWidget(b);
    top->addSpacing(6);
    for (QPushButton* b : {cmdSetting, cmdOpenFolder, cmdChangeFolder})
        top->addWidget(b);
    top->addSpacing(6);
    m_ui->dispGroup = new QButtonGroup(this);
    const char* dispNames[3] = {"画像", "リスト", "両方"};
    for (int mode : {2, 1, 0}) {
        auto* opt = new QRadioButton(QString::fromUtf8(dispNames[mode]), central);
        opt->setObjectName(QStringLiteral("optDisp%1").arg(mode));
        opt->setFocusPolicy(Qt::TabFocus);
        m_ui->optDisp[mode] = opt;
        m_ui->dispGroup->addButton(opt, mode);
        top->addWidget(opt);
    }
    top->addStretch(1);
    lblHint = infoLabel(central, "lblHint", QStringLiteral("ホットキー一覧"));
    lblHint->setText(QStringLiteral("？"));
    lblHint->setVisible(false);
    lblHint->setCursor(Qt::PointingHandCursor);
    lblHint->installEventFilter(this);
    top->addWidget(lblHint);
    outer->addLayout(top);

    // The detail fields of the current step and the message label.
    m_ui->detailPanel = new QWidget(central);
    auto* detailRows = new QVBoxLayout(m_ui->detailPanel);
    detailRows->setContentsMargins(0, 0, 0, 0);
    detailRows->setSpacing(2);
    auto* detail = new QHBoxLayout;
    detail->setSpacing(2);
    txtNo = detailField(m_ui->detailPanel, "txtNo", QStringLiteral("手順番号"), 5);
    txtNo->setFrame(false);
    txtNo->setStyleSheet(QStringLiteral("background: palette(button);"));
    txtFileName =
        detailField(m_ui->detailPanel, "txtFileName", QStringLiteral("画像ファイル名"), 16);
    txtExt = detailField(m_ui->detailPanel, "txtExt", QStringLiteral("拡張子"), 4);
    txtEvent = detailField(m_ui->detailPanel, "txtEvent", QStringLiteral("操作"), 9);
    txtPos = detailField(m_ui->detailPanel, "txtPos", QStringLiteral("位置"), 9);
    for (QLineEdit* e : {txtNo, txtFileName, txtExt, txtEvent, txtPos})
        detail->addWidget(e);
    lblMsg = infoLabel(m_ui->detailPanel, "lblMsg");
    lblMsg->setMinimumWidth(0);
    lblMsg->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    detail->addWidget(lblMsg, 1);
    detailRows->addLayout(detail);
    auto* sentence = new QHBoxLayout;
    sentence->setSpacing(2);
    txtCtrl = detailField(m_ui->detailPanel, "txtCtrl", QStringLiteral("操作説明"), 0);
    sentence->addWidget(txtCtrl, 1);
    frKey = new QWidget(m_ui->detailPanel);
    frKey->setObjectName(QStringLiteral("frKey"));
    auto* keyLayout = new QHBoxLayout(frKey);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    txtKey = detailField(frKey, "txtKey", QStringLiteral("キー入力"), 12);
    keyLayout->addWidget(txtKey);
    frKey->setVisible(false);
    sentence->addWidget(frKey);
    detailRows->addLayout(sentence);
    outer->addWidget(m_ui->detailPanel);

    // List | image, above the thumbnail panel.
    m_ui->vsplit = new QSplitter(Qt::Vertical, central);
    m_ui->vsplit->setObjectName(QStringLiteral("splitterStrip"));
    m_ui->hsplit = new QSplitter(Qt::Horizontal, m_ui->vsplit);
    m_ui->hsplit->setObjectName(QStringLiteral("splitterList"));
    m_ui->listPane = new QWidget(m_ui->hsplit);
    auto* listLayout = new QVBoxLayout(m_ui->listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    lstRecord = new QListView(m_ui->listPane);
    lstRecord->setObjectName(QStringLiteral("lstRecord"));
    lstRecord->setModel(m_steps);
    lstRecord->setItemDelegate(new StepListDelegate(lstRecord));
    lstRecord->setUniformItemSizes(true); // keeps 15000 lines fast
    lstRecord->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecord->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecord->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstRecord->setContextMenuPolicy(Qt::CustomContextMenu);
    lstRecord->installEventFilter(this);
    listLayout->addWidget(lstRecord);

    m_ui->imagePane = new QWidget(m_ui->hsplit);
    auto* imageLayout = new QHBoxLayout(m_ui->imagePane);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    Pic = new ImageViewer(m_ui->imagePane);
    Pic->setMinimumSize(120, 80);
    imageLayout->addWidget(Pic, 1);
    m_sizePanel = new ImageSizePanel(*Pic, conf(), m_ui->imagePane);
    frImgSize = m_sizePanel;
    imageLayout->addWidget(frImgSize);
    m_ui->hsplit->setStretchFactor(0, 0);
    m_ui->hsplit->setStretchFactor(1, 1);

    frPicList = new QWidget(m_ui->vsplit);
    frPicList->setObjectName(QStringLiteral("frPicList"));
    auto* stripLayout = new QVBoxLayout(frPicList);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    picList = new ThumbnailStrip(*m_steps, m_services.thumbnails, conf(), frPicList);
    picList->setOperationList(m_opList.get());
    stripLayout->addWidget(picList);
    m_ui->vsplit->setStretchFactor(0, 1);
    m_ui->vsplit->setStretchFactor(1, 0);
    outer->addWidget(m_ui->vsplit, 1);
    setCentralWidget(central);

    // Status line with the information labels of the recording.
    lblStatus = infoLabel(this, "lblStatus");
    statusBar()->addWidget(lblStatus, 1);
    lblEvent = infoLabel(this, "lblEvent", QStringLiteral("イベント"));
    lblWParam = infoLabel(this, "lblWParam", QStringLiteral("wParam"));
    lblPoint = infoLabel(this, "lblPoint", QStringLiteral("位置"));
    lblWindow = infoLabel(this, "lblWindow", QStringLiteral("ポインタ下のウィンドウ"));
    lblForeground = infoLabel(this, "lblForeground", QStringLiteral("前面のウィンドウ"));
    lblImgSize = infoLabel(this, "lblImgSize", QStringLiteral("画像サイズ"));
    lblhWnd = infoLabel(this, "lblhWnd", QStringLiteral("本体のウィンドウハンドル"));
    lblhWnd->setVisible(false);
    for (QLabel* l : {lblEvent, lblWParam, lblPoint, lblWindow, lblForeground, lblImgSize, lblhWnd})
        statusBar()->addPermanentWidget(l);

    connect(m_ui->dispGroup, &QButtonGroup::idClicked, this, [this](int mode) {
        conf().disp = mode;
        setDisplayMode(mode);
    });
}

void frmKlavoro::setDisplayMode(int mode) {
    if (mode < 0 || mode > 2) mode = 2;
    setRedraw(false);
    if (QAbstractButton* b = m_ui->dispGroup->button(mode)) b->setChecked(true);
    m_ui->listPane->setVisible(mode != 0);
    m_ui->imagePane->setVisible(mode != 1);
    if (mode == 2) restoreSplitter();
    setRedraw(true);
}

// A pane that was hidden when the window got its size comes back with no
// width at all: give both panes the stored split again.
void frmKlavoro::restoreSplitter() {
    const QList<int> sizes = m_ui->hsplit->sizes();
    if (sizes.size() != 2 || (sizes[0] > 0 && sizes[1] > 0)) return;
    const int total = std::max(m_ui->hsplit->width(), sizes[0] + sizes[1]);
    if (total <= 0) return;
    const int left = std::clamp(conf().splitterLeft > 0 ? conf().splitterLeft : total / 2, 0, total);
    m_ui->hsplit->setSizes({left, total - left});
}

void frmKlavoro::relayout() {
    setDisplayMode(conf().disp);
}

void frmKlavoro::applySettings() {
    const Settings& s = conf();
    menuBar()->setVisible(s.dispMenu != 0);
    const bool onTop = s.dispTop == 1;
    if (onTop != bool(windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (shown) show(); // changing the flags hides the window
    }
    setWindowOpacity(1.0 - std::clamp(s.transparent, 0, 70) / 100.0);
    QList<int> sizes = m_ui->hsplit->sizes();
    if (sizes.size() == 2 && s.splitterLeft > 0) {
        const int total = sizes[0] + sizes[1];
        if (total > 0)
            m_ui->hsplit->setSizes({s.splitterLeft, std::max(0, total - s.splitterLeft)});
    }
    StepListDelegate::setLeadingColumns(lstRecord, s.scrollbar);
    m_sizePanel->applySettings();
    picList->applySettings();
    relayout();
}

void frmKlavoro::storeLayoutSettings() {
    Settings& s = conf();
    const QList<int> sizes = m_ui->hsplit->sizes();
    // A hidden pane reports 0: keep the stored position then.
    if (sizes.size() == 2 && sizes[0] > 0 && m_ui->imagePane->isVisible())
        s.splitterLeft = sizes[0];
    s.disp = m_ui->dispGroup->checkedId() < 0 ? s.disp : m_ui->dispGroup->checkedId();
}

QSize frmKlavoro::screenSize() const {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1280, 1024);
}

QList<QRect> frmKlavoro::monitors() const {
    const QList<QRect> found = monitorRects();
    return found.isEmpty() ? QList<QRect>{QRect(QPoint(0, 0), screenSize())} : found;
}

WindowRect frmKlavoro::normalRect() const {
    if (m_placedRect) return *m_placedRect; // not shown yet with its frame
    const QRect r = (isMinimized() || isMaximized()) ? normalGeometry() : frameGeometry();
    const QRect g = r.isValid() ? r : geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void frmKlavoro::placeMainWindow(const WindowRect& rect, qint32 splitterLeft) {
    const int w = std::max(0, rect.right - rect.left);
    const int h = std::max(0, rect.bottom - rect.top);
    // The keys hold the outer frame; Qt places by the frame's corner and sizes
    // the client area, and the frame's size is known only once it is shown.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra.isEmpty() && !isVisible()) m_placedRect = rect;
    move(rect.left, rect.top);
    resize(std::max(320, w - frameExtra.width()), std::max(240, h - frameExtra.height()));
    const int total = std::max(width(), 400);
    if (splitterLeft > 0) m_ui->hsplit->setSizes({splitterLeft, std::max(0, total - splitterLeft)});
}

void frmKlavoro::adjustPlacementToFrame() {
    // Moving a minimised window makes the window manager restore it (a start
    // minimised places the window itself before it minimises).
    if (!m_placedRect || isMinimized()) return;
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra.isEmpty()) return;
    const WindowRect r = *m_placedRect;
    m_placedRect.reset();
    resize(std::max(320, r.right - r.left - frameExtra.width()),
           std::max(240, r.bottom - r.top - frameExtra.height()));
    move(r.left, r.top);
    relayout();
}

} // namespace klavoro
