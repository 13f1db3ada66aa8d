#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace klavoro {

class Dialogs;
class OperationList;
class StepList;

// One capture: the picture with marker and pointer, the picture without the
// marker (saved into NO_RECT when `no rect file` is 1), and what the execution
// log records about it.
struct CapturedImages {
    QImage marked;
    QImage unmarked;
    QString targetName;
    QSize screenSize;
};

// The files of one step image: the image in the folder, its unmarked copy in
// NO_RECT (when `unmarked` is not null), its thumbnail (when `thumbnail`).
// Thread-safe: it touches no list and no window. Empty on success, else what
// failed (the path and "の作成に失敗！").
struct StepImageFiles {
    QString folder;    // the capture folder, with its trailing separator
    QString path;      // the image file in it (imagePathForSaving)
    QString imageName; // the step's image name without extension, for the thumbnail
    int jpegQuality = 70;
    // False: written without waiting for the disk (syncFileToDisk later).
    bool syncToDisk = true;
    bool thumbnail = true;
    int thumbnailWidth = 240, thumbnailHeight = 180;
    double textMag = 1.0;
};
QString writeStepImageFiles(const StepImageFiles& files, const QImage& marked,
                            const QImage& unmarked);

// The execution-log record of a saved step image.
QString exeLogRecord(const QString& path, const CapturedImages& images);

// What saving tells the main window.
class StepImageHost {
public:
    virtual ~StepImageHost() = default;
    virtual void showStepText(int /*step*/) {}
    // The step's thumbnail panel shows the image as saved.
    virtual void markSaved(int /*step*/) {}
    // The status line and the shared status block.
    virtual void publishStatus(const QString& /*status*/) {}
};

// Saves step images under their names in the capture folder.
class StepImageSaver {
public:
    StepImageSaver(StepList& steps, OperationList& opList, Dialogs& dialogs, StepImageHost& host);

    // Saves the images of `step` (its name from the list when `imageName` is
    // empty, its extension from the list or the configured format). True when
    // the image file exists afterwards; every failure is shown under
    // "保存エラー" and published as "保存エラー！".
    bool saveStepImage(int step, const QString& imageName, bool noListUpdate,
                       const CapturedImages& images);

private:
    bool fail(const QString& text);

    StepList& m_steps;
    OperationList& m_opList;
    Dialogs& m_dialogs;
    StepImageHost& m_host;
};

// The message for a path whose Shift-JIS length plus 2 exceeds 256; empty
// when the path is short enough.
QString pathTooLongMessage(const QString& path);

// Re-encodes an image file into the format of the destination's extension.
bool convertByExtension(const QString& destination, const QString& source, int jpegQuality);

// Fits an image file into widthMax x heightMax (times the display scaling)
// and writes it as JPEG of quality 100.
bool fitFileIntoSize(const QString& source, const QString& destination, int widthMax, int heightMax,
                     double textMag);

// "個別保存（画像）": the filter preselected in the save dialog (1 BMP, 2 JPEG,
// 3 PNG, 4 GIF) for a step's extension field.
int saveAsFilterIndex(const QString& stepExtension, int saveFileFormat);

// Saves a copy of the image at a path the user chose; refuses the capture
// folder itself (with its message). True when written.
bool saveImageCopyAs(const QImage& image, const QString& chosenPath, const QString& captureFolder,
                     int jpegQuality, Dialogs& dialogs);

} // namespace klavoro
