#pragma once

#include <QByteArrayView>
#include <QString>

namespace klavoro {

// Whether an image file ends where its own structure says it must. Decoders
// fill a cut-off JPEG or BMP with grey and report success; a capture cut off
// by a full disk or a crash must not pass for a picture.
// JPEG: an end-of-image marker after the start of the scan; BMP: the pixel
// rows its header declares; GIF: the trailer byte near the end. Other types
// (and files whose type is not recognised) count as complete here; their
// decoders refuse them on their own.
bool isCompleteImageData(QByteArrayView data);
bool isCompleteImageFile(const QString& path);

} // namespace klavoro
