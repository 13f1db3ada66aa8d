#include "ui/frmklavoro.h"

#include "platform/services.h"
#include "record/runmode.h"
#include "record/statusblock.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/notices.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/clipboardtimer.h"
#include "ui/imageviewer.h"
#include "ui/inputgate.h"
#include "ui/mainmenus.h"
#include "ui/mainwindowui.h"
#include "ui/thumbnailstrip.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace klavoro {

namespace {

QString colourStyle(qint32 bgr) {
    const QColor c(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return QStringLiteral("color: %1;").arg(c.name());
}

const QStringList kMainButtons = {
    QStringLiteral("cmdGo"),         QStringLiteral("cmdStop"),
    QStringLiteral("cmdPlay"),       QStringLiteral("cmdSetting"),
    QStringLiteral("cmdOpenFolder"), QStringLiteral("cmdChangeFolder")};

// Entries that stay usable while recording or playing.
bool allowedWhileBusy(const QString& name) {
    static const QStringList names = {
        QStringLiteral("mnuStop"),       QStringLiteral("mnuEnd2"),
        QStringLiteral("mnuHint"),       QStringLiteral("mnuVersion"),
        QStringLiteral("mnuShowFolder"), QStringLiteral("mnuDebugLog")};
    return names.contains(name);
}

} // namespace

frmKlavoro::frmKlavoro(const MainServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_steps(&services.steps),
      m_opList(std::make_unique<OperationList>(*m_steps, *this, services.dialogs)),
      m_commands([this](const QString& why) {
          setStatus(why);
          QApplication::beep();
      }) {
    setObjectName(QStringLiteral("frmKlavoro"));
    buildUi();
    connectViews();
    m_menus = std::make_unique<MainMenus>(this, menuBar(), m_commands);
    // Pop-up entries with a shortcut act where the list has the focus.
    for (const char* name : {"mnuListMove_0", "mnuListMove_1"})
        if (QAction* a = m_menus->action(QString::fromLatin1(name))) {
            a->setShortcutContext(Qt::WidgetShortcut);
            lstRecord->addAction(a);
        }
    auto* stopKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+F2")), this);
    // While playback or an export that can be stopped runs, these are what
    // reaches the program; the menus refuse any entry but 停止.
    for (QObject* control : std::initializer_list<QObject*>{stopKey, cmdStop, menuBar()})
        InputGate::markStopControl(control);
    for (QMenu* menu : findChildren<QMenu*>())
        InputGate::markStopControl(menu);
    connect(stopKey, &QShortcut::activated, this,
            [this] { runCommand(QStringLiteral("mnuStop")); });

    for (const QString& name : kMainButtons) {
        auto* button = findChild<QPushButton*>(name);
        connect(button, &QPushButton::clicked, this, [this, name] { runCommand(name); });
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, name] { runCommand(name + QStringLiteral("_Right")); });
    }
    // A mouse click moves the current index before it selects the row: follow
    // the selection, so the handler sees the step as selected.
    connect(lstRecord->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmKlavoro::onSelectionChanged);
    connect(lstRecord, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        showPopupMenu(QStringLiteral("mnuList"), lstRecord->viewport()->mapToGlobal(p));
    });
    connect(m_steps, &QAbstractItemModel::rowsInserted, this, [this] { setButtonsForRunMode(); });
    connect(m_steps, &QAbstractItemModel::rowsRemoved, this, [this] { setButtonsForRunMode(); });
    connect(m_steps, &QAbstractItemModel::modelReset, this, [this] { setButtonsForRunMode(); });
    connect(&runMode(), &RunMode::changed, this, [this] {
        setButtonsForRunMode();
        updateCommandStates();
    });

    updateCommandStates();
    setButtonsForRunMode();
    updateListColours(false);
    resize(900, 640);
    restoreTitle();
}

frmKlavoro::~frmKlavoro() = default;

const StartOptions& frmKlavoro::startOptions() const {
    return m_startOptions;
}
void frmKlavoro::setStartOptions(const StartOptions& options) {
    m_startOptions = options;
}

int frmKlavoro::selectedStepNumber() const {
    const QModelIndex idx = lstRecord->currentIndex();
    return idx.isValid() && lstRecord->selectionModel()->isSelected(idx) ? idx.row() + 1 : 0;
}

void frmKlavoro::selectLine(int k) {
    const int count = m_steps->count();
    if (count == 0) return;
    selectStep(std::clamp(k, 0, count - 1) + 1);
}

void frmKlavoro::selectStep(int n) {
    lstRecord->clearSelection();
    const int count = m_steps->count();
    if (count == 0 || n <= 0) return;
    const QModelIndex idx = m_steps->index(std::min(n, count) - 1);
    lstRecord->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    lstRecord->scrollTo(idx);
}

void frmKlavoro::reloadList() {
    clearImage();
    m_steps->clear();
    picList->setCaptureFolder(captureFolder());
    m_opList->load();
    restoreTitle();
    setButtonsForRunMode();
}

void frmKlavoro::refreshImage() {
    // The picture shown may be the one recording handed over in memory,
    // not read from its file: the file is read again either way.
    Pic->reload();
    showStepImage();
}

void frmKlavoro::showStepImage(int n) {
    if (n == 0) n = selectedStepNumber();
    const QString name = lineField(m_steps->line(n), FieldImageName);
    if (n <= 0 || name.isEmpty()) {
        Pic->clear();
        return;
    }
    // The neighbours are decoded ahead, so stepping through is instant.
    QStringList neighbours;
    for (int k : {n + 1, n - 1})
        if (k >= 1 && k <= m_steps->count())
            neighbours << lineField(m_steps->line(k), FieldImageName);
    Pic->showStep(captureFolder(), name, neighbours);
}

void frmKlavoro::clearImage() {
    Pic->clear();
}

QImage frmKlavoro::currentImage() const {
    return Pic->image();
}

void frmKlavoro::refreshThumbnails(int n) {
    picList->refreshStep(n);
}

int frmKlavoro::stripFirstStep() const {
    return picList->firstStep();
}
void frmKlavoro::setStripFirstStep(int n) {
    picList->setFirstStep(n);
}
int frmKlavoro::stripPanelCount() const {
    return picList->shownPanelCount();
}

void frmKlavoro::connectViews() {
    m_clipTimer = new ClipboardTimer([this] { return Pic->image(); },
                                     [this](const QString& s) { setStatus(s); }, this);
    connect(Pic, &ImageViewer::released, this,
            [this] { m_clipTimer->start(QStringLiteral("pic")); });
    connect(Pic, &ImageViewer::doubleClicked, this, [this] {
        m_clipTimer->cancel();
        if (m_services.platform.shell)
            openViewerImage(*Pic, conf(), *m_services.platform.shell);
        else if (!Pic->filePath().isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(Pic->filePath()));
    });
    connect(Pic, &ImageViewer::rightClicked, this,
            [this](const QPoint& p) { showPopupMenu(QStringLiteral("mnuPicList"), p); });
    connect(Pic, &ImageViewer::imageShown, this, [this] {
        const QSize size = Pic->imageSize();
        lblImgSize->setText(size.isEmpty()
                                ? QString()
                                : QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
    });
    connect(picList, &ThumbnailStrip::stepClicked, this, [this](int n) { selectStep(n); });
    connect(picList, &ThumbnailStrip::panelPressed, this,
            [this] { m_clipTimer->start(QStringLiteral("thumb")); });
    connect(picList, &ThumbnailStrip::checkMarkToggled, this, [this] { Pic->setFocus(); });
    connect(picList, &ThumbnailStrip::rightClicked, this,
            [this](int, const QPoint& p) { showPopupMenu(QStringLiteral("mnuThumbList"), p); });
}

void frmKlavoro::setRedraw(bool on) {
    m_redrawDepth += on ? -1 : 1;
    if (m_redrawDepth < 0) m_redrawDepth = 0;
    setUpdatesEnabled(m_redrawDepth == 0);
}

void frmKlavoro::setStatus(const QString& status) {
    lblStatus->setText(status);
    lblStatus->setStyleSheet(QString());
}

void frmKlavoro::publishStatus(const QString& status) {
    setStatus(status);
    m_services.statusBlock.publish(status); // nothing while it is not open
    lblStatus->repaint();
}

QString frmKlavoro::statusText() const {
    return lblStatus->text();
}

void frmKlavoro::showMessage(const QString& text, qint32 colour) {
    if (text.isEmpty()) {
        if (m_messageStored) lblMsg->setText(m_storedMessage);
        m_messageStored = false;
        lblMsg->setStyleSheet(colourStyle(0));
        return;
    }
    if (!m_messageStored) {
        m_storedMessage = lblMsg->text();
        m_messageStored = true;
    }
    lblMsg->setStyleSheet(colourStyle(colour));
    lblMsg->setText(text);
}

void frmKlavoro::setMessageCaption(const QString& text, qint32 colour) {
    m_messageStored = false;
    lblMsg->setStyleSheet(colourStyle(colour));
    lblMsg->setText(text);
}

QString frmKlavoro::messageText() const {
    return lblMsg->text();
}

void frmKlavoro::restoreTitle() {
    setWindowTitle(klavoro::windowTitle());
}

void frmKlavoro::setButtonsForRunMode() {
    const bool idle = runMode().isIdle();
    auto enable = [this](QPushButton* b, bool on) {
        b->setEnabled(on && m_commands.contains(b->objectName()));
    };
    enable(cmdGo, idle);
    enable(cmdStop, !idle);
    enable(cmdPlay, idle && m_steps->count() > 0);
    enable(cmdSetting, idle);
    enable(cmdOpenFolder, idle);
    enable(cmdChangeFolder, idle);
}

void frmKlavoro::updateCommandStates() {
    const bool idle = runMode().isIdle();
    m_menus->updateStates([idle](const QString& name) {
        if (name == QLatin1String("mnuStop")) return !idle;
        return idle || allowedWhileBusy(name);
    });
    setButtonsForRunMode();
}

bool frmKlavoro::runCommand(const QString& name) {
    if (QAction* a = m_menus->action(name); a && !a->isEnabled()) return false;
    if (auto* b = findChild<QPushButton*>(name);
        b && kMainButtons.contains(name) && !b->isEnabled())
        return false;
    return m_commands.run(name);
}

QMenu* frmKlavoro::popupMenu(const QString& name) const {
    return m_menus->menu(name);
}

void frmKlavoro::showPopupMenu(const QString& name, const QPoint& globalPos) {
    if (!runMode().isIdle()) {
        m_services.dialogs.message(QStringLiteral("「停止」して下さい！"),
                                   QStringLiteral("実行中は不可"));
        return;
    }
    if (QMenu* menu = popupMenu(name)) menu->popup(globalPos);
}

// --- OpListHost ---

QString frmKlavoro::currentStepText() const {
    return txtNo->text();
}

void frmKlavoro::showProgress(const QString& text) {
    m_services.notices.showProgress(text, 0, true);
}

void frmKlavoro::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void frmKlavoro::setDetailFields(const Detail& detail) {
    txtNo->setText(detail.no);
    txtFileName->setText(detail.fileName);
    txtExt->setText(detail.ext);
    txtCtrl->setText(detail.ctrl);
    txtEvent->setText(detail.event);
    txtPos->setText(detail.pos);
}

void frmKlavoro::setListScrollMax(int) {
    // The list view sizes its scroll range from the model.
}

void frmKlavoro::setImageSizePanelVisible(bool visible) {
    frImgSize->setVisible(visible);
}

void frmKlavoro::setThumbnailPanelVisible(bool visible) {
    frPicList->setVisible(visible);
}

void frmKlavoro::bringToFront() {
    raise();
    activateWindow();
}

void frmKlavoro::minimiseOnceMapped() {
    if (isVisible() && windowHandle() && windowHandle()->isExposed()) {
        cancelPendingMinimise();
        showMinimized();
        return;
    }
    if (!isVisible()) show();
    if (!m_minimisePoll) {
        m_minimisePoll = new QTimer(this);
        m_minimisePoll->setInterval(20);
        connect(m_minimisePoll, &QTimer::timeout, this, [this] {
            // Hidden meanwhile: it stays hidden. Never exposed: minimised anyway.
            if (!isVisible()) {
                cancelPendingMinimise();
                return;
            }
            if (windowHandle() && !windowHandle()->isExposed() && ++m_minimiseTries < 100) return;
            // The frame's extents come from the window manager a little after the
            // exposure; placed before them, the window would sit a title bar lower.
            if (windowHandle() && windowHandle()->frameMargins().isNull() &&
                ++m_minimiseTries < 125)
                return;
            cancelPendingMinimise();
            // Placed within its frame first: moving it afterwards restores it.
            placeMainWindow(normalRect(), 0);
            showMinimized();
        });
    }
    m_minimiseTries = 0;
    m_minimisePoll->start();
}

void frmKlavoro::cancelPendingMinimise() {
    if (m_minimisePoll) m_minimisePoll->stop();
}

void frmKlavoro::stepAdded(int n, bool, bool keepStrip) {
    // Tiles are drawn from the model on demand; only the scroll rule is ours.
    if (!keepStrip) picList->showStep(n);
}

// --- views ---

void frmKlavoro::onSelectionChanged() {
    const int n = selectedStepNumber();
    m_steps->setSelectedStep(n);
    if (n <= 0) return;
    const QString line = m_steps->line(n);
    txtNo->setText(QString::number(n));
    txtFileName->setText(lineField(line, FieldImageName));
    txtExt->setText(lineField(line, FieldExtension));
    txtCtrl->setText(lineField(line, FieldMessage));
    showStepImage(n);
    picList->showStep(n);
}

void frmKlavoro::updateListColours(bool focused) {
    QPalette p = lstRecord->palette();
    p.setColor(QPalette::Text,
               focused ? palette().color(QPalette::WindowText) : QColor(144, 144, 144));
    lstRecord->setPalette(p);
}

bool frmKlavoro::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblHint && event->type() == QEvent::MouseButtonRelease) {
        runCommand(QStringLiteral("mnuHint"));
        return true;
    }
    if (watched == lstRecord) {
        if (event->type() == QEvent::FocusIn)
            updateListColours(true);
        else if (event->type() == QEvent::FocusOut)
            updateListColours(false);
        else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmKlavoro::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window manager adds the frame after mapping.
    QTimer::singleShot(50, this, [this] { adjustPlacementToFrame(); });
}

// The program's session takes the close first (saving the list and the
// settings in their order); a window without one still keeps its list.
void frmKlavoro::closeEvent(QCloseEvent* event) {
    emit closing();
    storeLayoutSettings();
    m_opList->save();
    event->accept();
}

} // namespace klavoro
