#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace klavoro {

struct ThumbnailBox;

// A box dragged on the viewer, in the picture's own pixels: the view shows
// the picture at `displayed` size, the file has `actual` size. Rounded
// outward, so that no partly covered pixel stays; clipped to the picture.
// `viewBox` is normalised (the viewer builds it corner to corner).
QRect pictureBoxOfView(const QRect& viewBox, QSize displayed, QSize actual);

// The question asked before a box is burnt in.
inline const QString kRedactQuestion =
    QStringLiteral("選んだ範囲を塗りつぶします。\n"
                   "画像・NO_RECT の画像・サムネイルの画素は置き換えられ、元に戻せません。\n"
                   "よろしいですか？");
inline const QString kRedactTitle = QStringLiteral("塗りつぶし");

struct BurnResult {
    QStringList written; // the picture files changed
    QString error;       // empty on success
};

// Burns `box` (pixels of the step's picture) into the step picture, its
// NO_RECT copy (scaled when its size differs) and, in a NO_RECT folder, the
// marked picture beside it; in a JPEG file the box grows to whole 16-pixel
// blocks so that it is stored uniform. Every picture is encoded before any is written,
// so a failure to encode changes nothing. The thumbnails are then made anew
// from the burnt pictures; one that cannot be is deleted rather than kept
// showing what was covered.
BurnResult burnRedactionBox(const QString& folder, const QString& imageName, const QRect& box,
                            const QColor& colour, int jpegQuality, const ThumbnailBox& thumbBox);

} // namespace klavoro
