#pragma once

#include "store/viewerwidth.h"

#include <QLabel>
#include <QWidget>

class QSlider;

namespace klavoro {

class ImageViewer;
struct Settings;

// A label that reports a click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The width control `frImgSize` beside the viewer: the vertical, inverted width
// slider (top = largest width), the width label (click: fit to the viewer), the
// percentage label (click: actual size) with the zoom colours, and the zoom
// state text. Every width change is stored in `disp img val width`.
class ImageSizePanel : public QWidget {
    Q_OBJECT
public:
    ImageSizePanel(ImageViewer& viewer, Settings& settings, QWidget* parent = nullptr);

    // Takes the slider range, its steps and the width from the settings.
    void applySettings();

    int displayWidth() const { return m_width; }
    // Any width; the slider shows the nearest it can.
    void setDisplayWidth(int width);
    // The width label's click: the viewer's inner width, within the slider range.
    void fitToViewer();
    // The percentage label's click: the picture at its own width.
    void showActualSize();

    // Shows the zoom state text in another label (the panel's own is hidden);
    // only the two zoom texts are ever cleared from it.
    void setZoomLabel(QLabel* label);
    QLabel* zoomLabel() const { return m_zoomLabel; }

    const ZoomIndicator& indicator() const { return m_indicator; }
    const WidthSliderRange& range() const { return m_range; }

    QSlider* sldImgWidth = nullptr;
    ClickLabel* lblImgWidth = nullptr;
    ClickLabel* lblImgPercent = nullptr;
    QLabel* lblZoomState = nullptr;

signals:
    void displayWidthChanged(int width);

private:
    void onSliderMoved(int value);
    void applyWidth(int width);
    void updateIndicator();

    ImageViewer& m_viewer;
    Settings& m_settings;
    WidthSliderRange m_range;
    ZoomIndicator m_indicator;
    QLabel* m_zoomLabel = nullptr; // lblZoomState unless the window gives another
    int m_width = 0;
    bool m_settingSlider = false;
};

} // namespace klavoro
