#pragma once

#include <QRect>
#include <QSize>

namespace klavoro {

// The geometry of one panel of the thumbnail strip: the thumbnail area on top
// (the thumbnail box times `thumbnail mag`) and the check-mark box below it,
// sized by `thumbnail chk size` (1..7).
struct StripPanelLayout {
    QSize panel;    // the whole panel, margins included
    QRect image;    // the thumbnail area within the panel
    QRect checkBox; // the check-mark box within the panel
    QRect label;    // the step number beside the check-mark box
};
StripPanelLayout stripPanelLayout(int thumbnailWidth, int thumbnailHeight, double mag, int chkSize);

// Panels shown = strip width / panel width, rounded (at least one, so that the
// selected step stays on the strip).
int shownPanels(int stripWidth, int panelWidth);

// The first step the strip shows when step n is selected: max(1, n - shown + 1).
int stripFirstStepFor(int n, int shown);

} // namespace klavoro
