#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

// Windows code page 932 (Shift-JIS with the Microsoft extensions): 0x5C is the
// backslash and 0x7E the tilde, as files written on Windows expect.
// Characters the code page cannot hold become '?', as the system converter does.
QByteArray toShiftJis(const QString& text);
// As above, but a character outside the code page is written as the bytes that
// `fallback` gives for its code point.
QByteArray toShiftJis(const QString& text, QByteArray (*fallback)(char32_t));
// Bytes without a meaning in the code page become '・'; *exact is cleared then.
QString fromShiftJis(const QByteArray& bytes, bool* exact = nullptr);
// True when every character is written and read back as itself, so that
// writing loses nothing.
bool fitsShiftJis(const QString& text);

// Bytes the text takes in Shift-JIS: a full-width character counts 2.
int halfWidthLength(const QString& text);

// Appends blanks until the half-width length reaches `width` (nothing is cut).
QString padToHalfWidth(const QString& text, int width);

// The three labels that text files are read with.
enum class Charset { ShiftJis, Utf8, Unicode };
bool charsetFromLabel(const QString& label, Charset* out);
QString decodeText(const QByteArray& bytes, Charset charset);

} // namespace klavoro
