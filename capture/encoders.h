#pragma once

#include <QImage>
#include <QString>

namespace klavoro {

// Writes the image in one format. False (with a reason) on any failure; a
// failed write leaves no partial file behind.
bool writeBmp(const QImage& image, const QString& path, QString* error = nullptr);
bool writeJpeg(const QImage& image, const QString& path, int quality, QString* error = nullptr);
bool writePng(const QImage& image, const QString& path, QString* error = nullptr);
bool writeGif(const QImage& image, const QString& path, QString* error = nullptr);

// GIF bytes of the image: an exact palette when it has at most 256 colours
// (most screenshots of dialogs), otherwise a median-cut palette of 256.
QByteArray encodeGif(const QImage& image, QString* error = nullptr);

// Chooses the encoder by the path's extension, in any letter case: "bmp",
// "jpg", "png", "gif". Any other extension ("jpeg" too) writes nothing.
bool writeByExtension(const QImage& image, const QString& path, int jpegQuality,
                      QString* error = nullptr);

// The file bytes of the image in the format of an extension ("jpg", ...);
// empty (with a reason) on failure.
QByteArray encodeByExtension(const QImage& image, const QString& extension, int jpegQuality,
                             QString* error = nullptr);

// Reverse of the format index: "bmp" 0, "jpg" 1, "png" 2, "gif" 3, else 0.
int formatIndexForExtension(const QString& extension);

// Versions of the image libraries linked in, for the about and start-up check.
QString imageLibraryVersions();

} // namespace klavoro
