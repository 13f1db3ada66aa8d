#pragma once

#include <QString>

namespace klavoro {

// The settings record: one field per Conf.txt key, named after the key, with
// the key itself in the comment so that grepping the key finds the field.
// The record is process-wide, as every part of the program reads it.
struct Settings {
    qint32 dispTop = 0;              // disp top
    qint32 noRectFile = 0;           // no rect file
    qint32 saveFileFormat = 1;       // save file format
    QString saveFolderPath = "data"; // save folder path
    float textMag = 1.0f;            // text mag
    QString loadFiles = "1";         // load files
    qint32 confirmAppend = 1;        // confirm Append
    qint32 noProgress = 0;           // no progress
};

Settings& conf();

} // namespace klavoro
