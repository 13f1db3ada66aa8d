#pragma once

#include <QString>

namespace klavoro {

// The run-time capture folder of the start option `savepath`: set once at
// start-up, never saved. Empty when not given.
void setRunTimeCaptureFolder(const QString& folder);
QString runTimeCaptureFolder();

// The capture folder text as chosen (run-time folder, else `save folder path`)
// with a trailing separator. Creates the folder when missing.
QString captureFolderText();
// The same, resolved against the capture base folder: what file operations use.
QString captureFolder();

// Image names come from OpList.txt, which anyone can edit: a name that could
// reach outside the capture folder (a separator, NUL, empty) is refused by
// every operation below, which then gives the empty text.
bool isSafeImageName(const QString& name);

// folder + escaped name + "." + extension; the path the image is saved under.
QString imagePathForSaving(const QString& folder, const QString& imageName,
                           const QString& extension);

// The names a step's image file may have on disk (before any extension the
// file adds): the escaped name first, as images are saved, then the name as it
// stands when that differs and is safe, since a list built from images names
// the files as they are ("Q&A.png"). Empty for an unsafe name.
QStringList imageFileNames(const QString& imageName);

// The first file folder + form + ".*" for the forms above in turn, else a file
// named exactly like a form; empty when none exists.
QString findImageFile(const QString& folder, const QString& imageName);

// "Thumb_" + escaped name without extension + ".jpg": a thumbnail is named
// like the image it shows. Empty for an unsafe name.
QString thumbnailFileName(const QString& imageName);
// folder + "Thumb/" + thumbnailFileName.
QString thumbnailPath(const QString& folder, const QString& imageName);

// "Ver" + major + "." + minor + revision, e.g. Ver1.00.
QString versionText();

// "クラヴォロ Ver1.00  －  " + the capture folder relative to the capture base folder.
QString windowTitle();

} // namespace klavoro
