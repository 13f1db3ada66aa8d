#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

class Dialogs;
class Notices;
class StepEditHost;

// The image files of a folder ("jpg", "jpeg", "bmp", "png", "gif" in any
// letter case), in name order so that the list is the same on every file
// system. Names the list file cannot carry (TAB or line breaks, characters
// without a Shift-JIS form) go to `skipped` instead.
QStringList imageFilesOf(const QString& folder, QStringList* skipped = nullptr);

// A file name as a message shows it: TAB, line breaks and other control
// characters spelled out ("<TAB>", "<LF>", "<CR>", "<1B>"), so that a name
// that breaks a line in the list file does not break the message either.
QString visibleFileName(const QString& name);

// The OpList.txt text of a list built from these file names: the header
// "最終行 =" TAB N TAB and the separator on one line, then per file k from 0:
// k TAB name, blanks up to 24 - 2 x its length, TAB TAB k TAB phrase. Name
// and phrase are written as the OpList.txt writer writes a field.
QString imageListText(const QStringList& names, const QString& phrase);

struct ImageListBuild {
    int count = 0; // image files written; 0 leaves an existing OpList.txt alone
    bool failed = false;
    QString error;       // why it failed
    QString backup;      // where the overwritten OpList.txt was kept
    QStringList skipped; // image files left out
};

// Writes OpList.txt of `folder` (with a trailing separator) from its image
// files. An OpList.txt it replaces is kept first as OpList.txt.<time>.bak.
ImageListBuild buildListFromImages(const QString& folder, const QString& phrase);

// The menu command: asks, builds in the capture folder, empties the list and
// loads the new file, and tells the result.
void loadImageFiles(StepEditHost& host, Dialogs& dialogs, Notices& notices);

} // namespace klavoro
