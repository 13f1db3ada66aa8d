#include "export/selectionformat.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace klavoro {
namespace {

template <typename T> void merge(std::optional<T>& into, const T& value, bool& first) {
    if (first)
        into = value;
    else if (into && *into != value)
        into.reset();
}

void mergeFormat(SelectionFormat& out, const QTextCharFormat& format, const QFont& defaultFont,
                 bool& first) {
    const QFont font = format.font().resolve(defaultFont);
    const QColor colour =
        format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
    merge(out.family, font.family(), first);
    merge(out.pointSize, font.pointSizeF(), first);
    merge(out.bold, font.bold(), first);
    merge(out.italic, font.italic(), first);
    merge(out.underline, font.underline(), first);
    merge(out.strikeOut, font.strikeOut(), first);
    merge(out.colour, colour, first);
    first = false;
}

} // namespace

SelectionFormat selectionFormat(const QTextCursor& cursor, const QFont& defaultFont) {
    SelectionFormat out;
    bool first = true;
    if (!cursor.hasSelection() || !cursor.document()) {
        mergeFormat(out, cursor.charFormat(), defaultFont, first);
        return out;
    }
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    const QTextDocument* document = cursor.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.charFormat().isImageFormat()) continue;
            if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            mergeFormat(out, fragment.charFormat(), defaultFont, first);
        }
    }
    // A selection of empty lines or pictures only: what typing would give.
    if (first) mergeFormat(out, cursor.charFormat(), defaultFont, first);
    return out;
}

bool isFontSizeText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9.]*$"));
    return pattern.match(text).hasMatch();
}

double fontSizeOf(const QString& text) {
    if (!isFontSizeText(text)) return 0;
    bool ok = false;
    const double size = text.toDouble(&ok);
    // The range Qt's fonts and the RTF half points both hold.
    return ok && size >= 1 && size <= 1638 ? size : 0;
}

} // namespace klavoro
