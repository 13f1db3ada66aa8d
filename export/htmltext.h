#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

// The manual's escaping of a sentence: & < > blank " \ © ® become entities,
// the ampersand first so that the entities are not escaped again.
QString htmlEscape(const QString& text);

// Escapes & < > for text that keeps its blanks (the step number).
QString htmlEscapeMarkup(const QString& text);

// A value that can stand between single or double quotes of an attribute.
QString htmlAttribute(const QString& text);

// A file name as one path segment of a relative URL: everything but the
// unreserved characters is percent-encoded (as UTF-8, the file system's form).
QString urlSegment(const QString& fileName);

// The page in Shift-JIS; a character the code page cannot hold (emoji, most
// accented letters) becomes a numeric character reference instead of "?".
QByteArray htmlShiftJis(const QString& page);

} // namespace klavoro
