#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace klavoro {

// The document as RTF: font and colour tables, one paragraph per block with
// its alignment, per run the font, size, bold, italic, underline,
// strike-through and colour; pictures as PNG or JPEG blips at the size they
// are shown. Text outside ASCII is written as \u escapes with its Shift-JIS
// bytes as the fallback for older readers.
QByteArray rtfFromDocument(const QTextDocument& document);

// The text part of the above for one string (escapes, \u and fallback).
QByteArray rtfText(const QString& text);

// Writes the RTF file atomically. On failure gives false with the error number
// and description.
bool writeRtfFile(const QTextDocument& document, const QString& path, int* errorNumber,
                  QString* errorText);

} // namespace klavoro
