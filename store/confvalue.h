#pragma once

#include <QString>

namespace klavoro {

// Number conversions of Conf.txt values (and of the command line's `hwnd`).

// The longest leading number of the text: blanks skipped, an optional sign,
// digits with an optional fraction and exponent (E or D), or "&H" followed by
// hexadecimal digits. No digits give 0. False only when the number cannot be
// held: more than 8 hexadecimal digits, or beyond the range of a double.
bool leadingNumber(const QString& text, double* value);

// The whole text, surrounding blanks ignored, read as one number in the same
// notation. False when it is empty or holds anything else.
bool wholeNumber(const QString& text, double* value);

// Rounding to the nearest (halves to even) and range checks of the key types.
bool toInteger(double value, qint16* out);
bool toLong(double value, qint32* out);
bool toSingle(double value, float* out);

// Shortest decimal text that reads back to the same value: 0.35, 80, 1.25.
QString formatSingle(float value);
// The percentage text of a factor (1.25 gives 125) that reads back, divided by
// 100, as the same Single: the shortest one that does. A Single times 100 is
// not always exact, so its own shortest text may read back as a neighbour.
QString formatPercent(float value);
QString formatNumber(double value);

} // namespace klavoro
