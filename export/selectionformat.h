#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QFont;
class QTextCursor;

namespace klavoro {

// The character format of a selection, each property only where the whole
// selection has one value for it. Without a selection it is the format that
// typed text would get.
struct SelectionFormat {
    std::optional<QString> family;
    std::optional<double> pointSize;
    std::optional<bool> bold, italic, underline, strikeOut;
    // An invalid colour is the automatic (default) colour.
    std::optional<QColor> colour;
};

// `defaultFont` stands in for properties that the text does not set itself.
SelectionFormat selectionFormat(const QTextCursor& cursor, const QFont& defaultFont);

// A font size typed into the size box: digits and '.', "" while typing.
bool isFontSizeText(const QString& text);
// The size in points, or 0 when the text is not a usable size.
double fontSizeOf(const QString& text);

} // namespace klavoro
