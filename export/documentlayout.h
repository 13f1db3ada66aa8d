#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace klavoro {

// The page that the Word document and the PDF share, in points: A4 with
// narrow margins, so that three steps of pointer-area pictures fit a page.
namespace page {
inline constexpr double kWidth = 595.3;  // A4, 210 mm
inline constexpr double kHeight = 841.9; // 297 mm
inline constexpr double kMargin = 36;    // 12.7 mm on every side
inline constexpr double kFooter = 18;    // from the bottom edge to the page number
inline constexpr double kTextWidth = kWidth - 2 * kMargin;
inline constexpr double kTextHeight = kHeight - 2 * kMargin;

inline constexpr double kTitleSize = 16;
inline constexpr double kDateSize = 10;
inline constexpr double kHeadingSize = 11;
inline constexpr double kBodySize = 10.5;
inline constexpr double kFooterSize = 9;
// Space before a step heading and between a heading and its picture.
inline constexpr double kHeadingSpaceBefore = 6;
inline constexpr double kHeadingSpaceAfter = 3;
inline constexpr double kTitleSpaceAfter = 10;

// Pictures at their natural size (96 dots per inch), with a thin grey frame.
inline constexpr double kPointsPerPixel = 0.75;
inline constexpr double kBorderWidth = 0.75;
inline constexpr unsigned kBorderRgb = 0x808080;
} // namespace page

// The shown size of a picture of `pixels` in points: its natural size, no
// wider than the text column less `indent` points and no taller than
// `maxHeight` points, its shape kept.
QSizeF pictureSizePt(QSize pixels, double indent, double maxHeight);

// The Japanese fonts a document names, in order of preference: the common
// ones of Japanese Windows first, then the one Linux desktops carry.
QStringList japaneseFontFamilies();
// The one font name a document writes, found on every Japanese Windows; a
// Linux reader's font matching gives its own Japanese sans font for it.
QString documentFontName();
// An installed Japanese sans font for documents built and shown here
// (the rich-text window): the first of japaneseFontFamilies() that is
// installed, else any font that has Japanese.
QString installedJapaneseFamily();

} // namespace klavoro
