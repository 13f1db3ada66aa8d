#include "ui/thumbnailstrip.h"

#include "capture/drawing.h"
#include "export/striplayout.h"
#include "store/dialogs.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/thumbnaildelegate.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace klavoro {

ThumbnailStrip::ThumbnailStrip(StepList& steps, ThumbnailLoader& loader, Settings& settings,
                               QWidget* parent)
    : QListView(parent), m_steps(steps), m_settings(settings), m_loader(loader) {
    setObjectName(QStringLiteral("picList"));
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setUniformItemSizes(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(false);
    // The keyboard stays with the list; the strip is worked with the mouse.
    setFocusPolicy(Qt::NoFocus);
    m_delegate = new ThumbnailDelegate(m_loader, m_steps, this);
    setItemDelegate(m_delegate);
    setModel(&m_steps);
    // Requests for panels scrolled past are dropped; the panels now shown ask again.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, &m_loader,
            &ThumbnailLoader::dropQueued);
    connect(&m_loader, &ThumbnailLoader::ready, viewport(), qOverload<>(&QWidget::update));
    connect(&m_steps, &StepList::selectedStepChanged, viewport(), qOverload<>(&QWidget::update));
    applySettings();
}

ThumbnailStrip::~ThumbnailStrip() = default;

void ThumbnailStrip::setCaptureFolder(const QString& folder) {
    m_loader.setFolder(folder);
    viewport()->update();
}

void ThumbnailStrip::applySettings() {
    const int first = firstStep();
    const StripPanelLayout layout =
        stripPanelLayout(m_settings.thumbnailWidth, m_settings.thumbnailHeight,
                         m_settings.thumbnailMag, m_settings.thumbnailChkSize);
    m_delegate->setLayout(layout);
    m_delegate->setCheckColour(colourFromBgr(m_settings.thumbnailChkColor));
    m_loader.setBox({m_settings.thumbnailWidth, m_settings.thumbnailHeight, m_settings.textMag});
    m_loader.setDisplaySize(layout.image.size());
    updateGeometry();
    // The uniform size is measured once: make the view measure again.
    scheduleDelayedItemsLayout();
    doItemsLayout();
    setFirstStep(first);
    viewport()->update();
}

QSize ThumbnailStrip::sizeHint() const {
    const int scrollBar = horizontalScrollBar()->sizeHint().height();
    return {panelSize().width() * 5, panelSize().height() + scrollBar + 2 * frameWidth()};
}

int ThumbnailStrip::firstStep() const {
    return horizontalScrollBar()->value() + 1;
}

void ThumbnailStrip::setFirstStep(int n) {
    horizontalScrollBar()->setValue(std::max(1, n) - 1);
}

QSize ThumbnailStrip::panelSize() const {
    return m_delegate->panelLayout().panel;
}

int ThumbnailStrip::shownPanelCount() const {
    return shownPanels(viewport()->width(), panelSize().width());
}

void ThumbnailStrip::showStep(int n) {
    setFirstStep(stripFirstStepFor(n, shownPanelCount()));
}

QRect ThumbnailStrip::panelRect(int n) const {
    if (n < 1 || n > m_steps.count()) return {};
    const QRect r = visualRect(m_steps.index(n - 1));
    return r.intersects(viewport()->rect()) ? r : QRect();
}

QRect ThumbnailStrip::checkBoxRect(int n) const {
    const QRect panel = panelRect(n);
    if (panel.isEmpty()) return {};
    return m_delegate->panelLayout().checkBox.translated(panel.topLeft());
}

ThumbnailStrip::Part ThumbnailStrip::partAt(const QPoint& pos, int* step) const {
    const QModelIndex index = indexAt(pos);
    *step = index.isValid() ? index.row() + 1 : 0;
    if (!index.isValid()) return Part::None;
    const QPoint local = pos - visualRect(index).topLeft();
    return m_delegate->panelLayout().checkBox.contains(local) ? Part::CheckBox : Part::Image;
}

void ThumbnailStrip::refreshStep(int n) {
    if (n == 0) {
        m_loader.clear();
    } else if (n >= 1 && n <= m_steps.count()) {
        m_loader.refresh(m_steps.field(n, FieldImageName));
    }
    viewport()->update();
}

bool ThumbnailStrip::toggleMark(int n) {
    if (!m_opList || n < 1 || n > m_steps.count()) return false;
    const bool on = toggleCheckMark(m_steps, *m_opList, n);
    emit checkMarkToggled(n, on);
    return on;
}

void ThumbnailStrip::setAllMarks(bool on) {
    if (!m_opList) return;
    setUpdatesEnabled(false);
    setAllCheckMarks(m_steps, *m_opList, on);
    setUpdatesEnabled(true);
    viewport()->update();
}

bool ThumbnailStrip::zoom(bool larger, Dialogs& dialogs) {
    const ZoomResult r = zoomThumbnails(m_settings.thumbnailMag, larger);
    if (!r.changed) {
        dialogs.message(r.message, QStringLiteral("サムネイルサイズ"));
        return false;
    }
    m_settings.thumbnailMag = static_cast<float>(r.factor);
    applySettings();
    return true;
}

void ThumbnailStrip::mousePressEvent(QMouseEvent* event) {
    // The strip keeps no selection of its own: the list's selected step is
    // drawn, and clicks are reported for the window to select.
    int step = 0;
    const Part part = partAt(event->position().toPoint(), &step);
    m_pressedStep = event->button() == Qt::LeftButton ? step : 0;
    if (part == Part::Image && event->button() == Qt::LeftButton) emit panelPressed(step);
    event->accept();
}

void ThumbnailStrip::mouseReleaseEvent(QMouseEvent* event) {
    int step = 0;
    const Part part = partAt(event->position().toPoint(), &step);
    if (event->button() == Qt::LeftButton && step != 0 && step == m_pressedStep) {
        if (part == Part::CheckBox)
            toggleMark(step);
        else
            emit stepClicked(step);
    }
    m_pressedStep = 0;
    event->accept();
}

void ThumbnailStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ThumbnailStrip::mouseMoveEvent(QMouseEvent* event) {
    event->accept(); // no rubber band, no drag
}

void ThumbnailStrip::wheelEvent(QWheelEvent* event) {
    // A row of panels: the wheel scrolls it sideways, as on its scroll bar.
    QApplication::sendEvent(horizontalScrollBar(), event);
}

void ThumbnailStrip::contextMenuEvent(QContextMenuEvent* event) {
    int step = 0;
    partAt(event->pos(), &step);
    emit rightClicked(step, event->globalPos());
    event->accept();
}

} // namespace klavoro
