#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

// Whether the image codecs the program saves and shows with are usable. The
// libraries are linked in, but JPEG (and GIF reading) come from Qt's image
// plugins, which a broken installation can lack.
struct ImageLibraryCheck {
    bool ok = false;
    QString versions;    // the library versions (encoders.h)
    QStringList missing; // the formats that could not be written and read back
    QString errorText() const;
};

// Writes a small picture in BMP, JPEG, PNG and GIF in memory and reads it back.
ImageLibraryCheck checkImageLibraries();

} // namespace klavoro
