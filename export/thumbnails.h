#pragma once

#include <QSize>
#include <QString>

namespace klavoro {

class Dialogs;
class OperationList;
class StepList;

// The box a thumbnail must fit in, and the display scaling factor.
struct ThumbnailBox {
    int width = 240;     // thumbnail width
    int height = 180;    // thumbnail height
    double textMag = 1.; // text mag, as a factor
};

// The box fitted to the image's aspect ratio, rounded halves to even.
QSize fitThumbnail(const ThumbnailBox& box, int imageWidth, int imageHeight);

// Scales an image file to exactly width x height and saves it as JPEG with the
// quality clamped to 25..100. False when the source cannot be loaded or saved.
bool resizeIntoJpeg(const QString& source, const QString& destination, int width, int height,
                    int quality);

// Makes the thumbnail of the step image `imageName` in `folder` (a folder path
// with a trailing separator). 1 when the thumbnail exists afterwards, 0 when it
// could not be made. An existing thumbnail is kept unless `overwrite`.
int makeThumbnail(const QString& folder, const QString& imageName, bool overwrite,
                  const ThumbnailBox& box);

// Progress of the bulk run, shown by the main window.
class ThumbnailProgress {
public:
    virtual ~ThumbnailProgress() = default;
    virtual void showProgress(const QString& text) = 0; // empty: close
    virtual void setStatus(const QString& text) = 0;
};

// Makes every missing thumbnail of the list. 0, or -1 (after a message) when
// the list is empty.
int makeMissingThumbnails(const StepList& steps, const QString& folder, const ThumbnailBox& box,
                          Dialogs& dialogs, ThumbnailProgress& progress);

// Check marks of the thumbnail strip; each change saves the list.
bool toggleCheckMark(StepList& steps, OperationList& opList, int step);
void setAllCheckMarks(StepList& steps, OperationList& opList, bool on);

// The thumbnail strip's zoom: the new factor, or the message that refuses it
// (the factor then stays).
struct ZoomResult {
    bool changed = false;
    double factor = 0;
    QString message; // shown under the title "サムネイルサイズ"
};
ZoomResult zoomThumbnails(double current, bool larger);

} // namespace klavoro
