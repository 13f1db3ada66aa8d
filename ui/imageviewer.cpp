#include "ui/imageviewer.h"

#include "store/imageopen.h"
#include "store/settings.h"
#include "store/viewerwidth.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace klavoro {

ImageViewer::ImageViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("Pic"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    connect(&m_decoder, &ImageDecoder::decoded, this, &ImageViewer::onDecoded);
}

ImageViewer::~ImageViewer() = default;

void ImageViewer::showStep(const QString& folder, const QString& imageName,
                           const QStringList& neighbourNames) {
    m_loading = true;
    m_generation = m_decoder.requestStep(folder, imageName, m_width);
    if (!neighbourNames.isEmpty()) m_decoder.prefetchSteps(folder, neighbourNames);
}

void ImageViewer::showFile(const QString& path) {
    m_loading = true;
    m_generation = m_decoder.requestFile(path, m_width);
}

void ImageViewer::reload() {
    if (m_path.isEmpty()) return;
    m_decoder.forget(m_path);
    showFile(m_path);
}

void ImageViewer::showImage(const QImage& image) {
    m_generation = m_decoder.cancel();
    m_path.clear();
    const QImage full = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    setPicture(full, ImageDecoder::scaledForDisplay(full, m_width), full.size());
    m_loading = false;
    emit imageShown();
}

void ImageViewer::clear() {
    m_generation = m_decoder.cancel();
    m_path.clear();
    setPicture({}, {}, {});
    m_loading = false;
    emit imageShown();
}

void ImageViewer::onDecoded(quint64 generation, const DecodedImage& d) {
    if (generation != m_generation) return;
    m_path = d.path;
    setPicture(d.full, d.display, d.actual);
    if (d.final) m_loading = false;
    if (m_shownGeneration != generation) {
        m_shownGeneration = generation;
        emit imageShown();
    }
}

QImage ImageViewer::image() const {
    // Only between the quick picture and the full one, a few milliseconds.
    if (m_full.isNull() && hasImage() && !m_path.isEmpty()) return m_decoder.fullImage(m_path);
    return m_full;
}

void ImageViewer::setPicture(const QImage& full, const QImage& display, QSize actual) {
    m_full = full;
    m_display = display;
    m_actual = actual;
    // The picture arrived for a width that the slider has since left.
    if (!m_full.isNull() && m_display.width() != m_width)
        m_display = ImageDecoder::scaledForDisplay(m_full, m_width);
    updateScrollBars();
    viewport()->update();
}

void ImageViewer::setDisplayWidth(int width) {
    if (width <= 0 || width == m_width) return;
    m_width = width;
    if (!m_full.isNull()) m_display = ImageDecoder::scaledForDisplay(m_full, m_width);
    updateScrollBars();
    viewport()->update();
}

QSize ImageViewer::displayedSize() const {
    return displaySize(m_width, m_actual);
}

int ImageViewer::innerWidth() const {
    // The room without a vertical scroll bar, as the fit is asked for the
    // width the picture may take.
    int w = viewport()->width();
    if (verticalScrollBar()->isVisible()) w += verticalScrollBar()->width();
    return std::max(1, w);
}

void ImageViewer::updateScrollBars() {
    const QSize shown = displayedSize();
    const QSize room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - room.width()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - room.height()));
    verticalScrollBar()->setPageStep(room.height());
}

void ImageViewer::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), palette().color(QPalette::Mid));
    if (m_display.isNull()) return;
    const QRect target(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()),
                       displayedSize());
    // Until the full picture is there, a quick one of another size is stretched.
    p.drawImage(target, m_display);
    if (m_boxing) {
        p.setPen(QPen(Qt::red, 1, Qt::DashLine));
        p.setBrush(QColor(0, 0, 0, 96));
        p.drawRect(m_box.translated(target.topLeft()));
    }
}

void ImageViewer::setBoxMode(bool on) {
    m_boxMode = on;
    viewport()->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!on) viewport()->unsetCursor();
}

void ImageViewer::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ImageViewer::scrollContentsBy(int, int) {
    viewport()->update();
}

void ImageViewer::mousePressEvent(QMouseEvent* event) {
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (event->button() == Qt::LeftButton && hasImage() &&
        (m_boxMode || event->modifiers().testFlag(Qt::ShiftModifier))) {
        m_boxing = true;
        m_boxStart = event->position().toPoint() + scroll;
        m_box = QRect(m_boxStart, QSize(1, 1));
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragStart = event->position().toPoint();
        m_scrollStart = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
        viewport()->setCursor(Qt::SizeAllCursor);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void ImageViewer::mouseMoveEvent(QMouseEvent* event) {
    if (m_boxing) {
        const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
        // Corner to corner, whichever way the drag goes.
        const QPoint p = event->position().toPoint() + scroll;
        m_box = QRect(QPoint(std::min(p.x(), m_boxStart.x()), std::min(p.y(), m_boxStart.y())),
                      QPoint(std::max(p.x(), m_boxStart.x()), std::max(p.y(), m_boxStart.y())));
        viewport()->update();
    } else if (m_dragging) {
        const QPoint moved = event->position().toPoint() - m_dragStart;
        horizontalScrollBar()->setValue(m_scrollStart.x() - moved.x());
        verticalScrollBar()->setValue(m_scrollStart.y() - moved.y());
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void ImageViewer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_boxing) {
        m_boxing = false;
        setBoxMode(false);
        viewport()->update();
        const QRect box = m_box.intersected(QRect(QPoint(0, 0), displayedSize()));
        if (box.width() >= 2 && box.height() >= 2) emit boxDrawn(box);
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        viewport()->unsetCursor();
    }
    if (m_swallowRelease) {
        m_swallowRelease = false;
    } else {
        emit released(event->button());
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ImageViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_swallowRelease = true;
        emit doubleClicked();
    }
    // The second press of a double click still starts a drag.
    mousePressEvent(event);
}

void ImageViewer::contextMenuEvent(QContextMenuEvent* event) {
    emit rightClicked(event->globalPos());
    event->accept();
}

bool openViewerImage(const ImageViewer& viewer, const Settings& settings, Shell& shell) {
    if (!viewer.hasImage()) return false;
    return openImageInEditor(viewer.filePath(), settings.editorPath, shell);
}

} // namespace klavoro
