#pragma once

#include <QImage>
#include <QString>

namespace klavoro {

class Dialogs;

// Pictures larger than this many pixels are not decoded (a lying header must
// not make the program allocate gigabytes).
inline constexpr qint64 kMaxImagePixels = 16384LL * 16384LL;

// Loads an image file. A file that cannot be read, or that is cut off (see
// imagecomplete.h), gives a null image; for PNG
// files the failure is also shown under "PNGファイル読込失敗" (when `dialogs`
// is given). `scaledTo` asks the decoder for a smaller picture, which JPEG
// decodes much faster.
QImage loadImageFile(const QString& path, Dialogs* dialogs = nullptr, QSize scaledTo = QSize());

} // namespace klavoro
