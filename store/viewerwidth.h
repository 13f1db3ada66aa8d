#pragma once

#include <QColor>
#include <QSize>
#include <QString>

namespace klavoro {

struct Settings;

// The width slider of the image viewer. It is vertical and inverted: its
// minimum (at the top) gives the largest display width.
struct WidthSliderRange {
    int minimum = 300;  // disp img max width: the smallest display width
    int maximum = 2000; // disp img min width: the largest display width
    int smallChange = 10;
    int largeChange = 100;
};

// The range from the settings. Swapped ends are put in order, so that a hand
// edited Conf.txt cannot give an empty range.
WidthSliderRange widthSliderRange(const Settings& settings);

// Display width = minimum + maximum - value, at least the minimum.
int displayWidthForValue(const WidthSliderRange& range, int value);
// The slider value that shows `width`, clamped to the range.
int sliderValueForWidth(const WidthSliderRange& range, int width);
// The fit-to-viewer width: the viewer's inner width clamped to the range.
int fitWidth(const WidthSliderRange& range, int innerWidth);

// The picture size at a display width, keeping the aspect ratio (at least 1 x 1;
// empty when there is no picture).
QSize displaySize(int width, QSize actual);

enum class ZoomState { NoImage, Actual, Enlarged, Reduced };

// What the percentage label and the zoom state text show.
struct ZoomIndicator {
    ZoomState state = ZoomState::NoImage;
    int percent = 0;     // 100 x width / actual width, rounded
    QString percentText; // "52%"; empty without a picture
    QString stateText;   // "拡大表示中", "縮小表示中" or empty
    QColor background;   // of the percentage label
};
ZoomIndicator zoomIndicator(int width, int actualWidth);

// The new zoom state caption: at actual size (or without a picture) only our
// own texts are cleared, whatever else the caption shows stays.
QString zoomStateCaption(const QString& current, const ZoomIndicator& indicator);

} // namespace klavoro
