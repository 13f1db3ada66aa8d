#include "ui/imagesizepanel.h"

#include "store/settings.h"
#include "ui/imageviewer.h"

#include <QMouseEvent>
#include <QSlider>
#include <QVBoxLayout>

namespace klavoro {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

ImageSizePanel::ImageSizePanel(ImageViewer& viewer, Settings& settings, QWidget* parent)
    : QWidget(parent), m_viewer(viewer), m_settings(settings) {
    setObjectName(QStringLiteral("frImgSize"));
    sldImgWidth = new QSlider(Qt::Vertical, this);
    sldImgWidth->setObjectName(QStringLiteral("sldImgWidth"));
    // The minimum sits at the top and gives the largest width; the keys and
    // the wheel move the handle the way they point.
    sldImgWidth->setInvertedAppearance(true);
    sldImgWidth->setInvertedControls(true);
    lblImgWidth = new ClickLabel(this);
    lblImgWidth->setObjectName(QStringLiteral("lblImgWidth"));
    lblImgWidth->setAlignment(Qt::AlignCenter);
    lblImgWidth->setCursor(Qt::PointingHandCursor);
    lblImgPercent = new ClickLabel(this);
    lblImgPercent->setObjectName(QStringLiteral("lblImgPercent"));
    lblImgPercent->setAlignment(Qt::AlignCenter);
    lblImgPercent->setAutoFillBackground(true);
    lblImgPercent->setCursor(Qt::PointingHandCursor);
    lblZoomState = new QLabel(this);
    lblZoomState->setObjectName(QStringLiteral("lblZoomState"));
    lblZoomState->setAlignment(Qt::AlignCenter);
    m_zoomLabel = lblZoomState;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lblImgWidth);
    layout->addWidget(sldImgWidth, 1, Qt::AlignHCenter);
    layout->addWidget(lblImgPercent);
    layout->addWidget(lblZoomState);

    connect(sldImgWidth, &QSlider::valueChanged, this, &ImageSizePanel::onSliderMoved);
    connect(lblImgWidth, &ClickLabel::clicked, this, &ImageSizePanel::fitToViewer);
    connect(lblImgPercent, &ClickLabel::clicked, this, &ImageSizePanel::showActualSize);
    connect(&m_viewer, &ImageViewer::imageShown, this, &ImageSizePanel::updateIndicator);
    applySettings();
}

void ImageSizePanel::applySettings() {
    m_range = widthSliderRange(m_settings);
    m_settingSlider = true;
    sldImgWidth->setRange(m_range.minimum, m_range.maximum);
    sldImgWidth->setSingleStep(m_range.smallChange);
    sldImgWidth->setPageStep(m_range.largeChange);
    m_settingSlider = false;
    setDisplayWidth(
        displayWidthForValue(m_range, sliderValueForWidth(m_range, m_settings.dispImgValWidth)));
}

void ImageSizePanel::setZoomLabel(QLabel* label) {
    if (!label || label == m_zoomLabel) return;
    lblZoomState->setVisible(label == lblZoomState);
    m_zoomLabel = label;
    updateIndicator();
}

void ImageSizePanel::onSliderMoved(int value) {
    if (!m_settingSlider) applyWidth(displayWidthForValue(m_range, value));
}

void ImageSizePanel::setDisplayWidth(int width) {
    if (width <= 0) return;
    m_settingSlider = true;
    sldImgWidth->setValue(sliderValueForWidth(m_range, width));
    m_settingSlider = false;
    applyWidth(width);
}

void ImageSizePanel::fitToViewer() {
    setDisplayWidth(fitWidth(m_range, m_viewer.innerWidth()));
}

void ImageSizePanel::showActualSize() {
    if (m_viewer.hasImage()) setDisplayWidth(m_viewer.imageSize().width());
}

void ImageSizePanel::applyWidth(int width) {
    const bool changed = width != m_width;
    m_width = width;
    m_settings.dispImgValWidth = width;
    m_viewer.setDisplayWidth(width);
    lblImgWidth->setText(QString::number(width));
    updateIndicator();
    if (changed) emit displayWidthChanged(width);
}

void ImageSizePanel::updateIndicator() {
    m_indicator = zoomIndicator(m_width, m_viewer.imageSize().width());
    lblImgPercent->setText(m_indicator.percentText);
    QPalette pal = lblImgPercent->palette();
    pal.setColor(QPalette::Window, m_indicator.background);
    pal.setColor(QPalette::WindowText, Qt::black);
    lblImgPercent->setPalette(pal);
    m_zoomLabel->setText(zoomStateCaption(m_zoomLabel->text(), m_indicator));
}

} // namespace klavoro
