#include "store/confvalue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace klavoro {
namespace {

bool isBlank(QChar c) {
    return c == ' ' || c == '\t';
}
bool isDigit(QChar c) {
    return c >= '0' && c <= '9';
}

int hexDigit(QChar c) {
    if (isDigit(c)) return c.unicode() - '0';
    if (c >= 'a' && c <= 'f') return c.unicode() - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c.unicode() - 'A' + 10;
    return -1;
}

enum class Scan { None, Number, TooBig };

// The power of ten of the first significant digit of "[-]digits[.digits][e[-]digits]",
// saturated; only its sign matters, to tell overflow from underflow.
long long decimalMagnitude(const std::string& a) {
    const size_t e = a.find('e');
    const std::string mantissa = a.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        size_t i = e + 1;
        const bool negative = i < a.size() && a[i] == '-';
        if (i < a.size() && (a[i] == '-' || a[i] == '+')) ++i;
        for (; i < a.size(); ++i)
            exponent = std::min(exponent * 10 + (a[i] - '0'), 1LL << 40);
        if (negative) exponent = -exponent;
    }
    const size_t dot = std::min(mantissa.find('.'), mantissa.size());
    long long position = 0; // digits before the point, counting from the first non-zero one
    bool seen = false;
    for (size_t i = 0; i < mantissa.size(); ++i) {
        const char c = mantissa[i];
        if (c < '1' || c > '9') continue;
        position = i < dot ? (long long)(dot - i) : -(long long)(i - dot) + 1;
        seen = true;
        break;
    }
    return seen ? position + exponent : -1;
}

// Reads one number starting at `pos`; `end` is where it stopped.
Scan scanNumber(const QString& s, qsizetype pos, double* value, qsizetype* end) {
    *end = pos;
    *value = 0;
    const qsizetype n = s.size();
    if (pos + 1 < n && s[pos] == '&' && (s[pos + 1] == 'H' || s[pos + 1] == 'h')) {
        qsizetype i = pos + 2;
        quint64 v = 0;
        int significant = 0;
        for (int d; i < n && (d = hexDigit(s[i])) >= 0; ++i) {
            if (significant > 0 || d != 0) ++significant;
            if (significant > 8) return Scan::TooBig;
            v = (v << 4) | quint64(d);
        }
        if (i == pos + 2) return Scan::None;
        *end = i;
        // Eight digits are a 32-bit pattern: &HFFFFFFFF is -1.
        *value = double(qint32(quint32(v)));
        return Scan::Number;
    }
    std::string ascii;
    qsizetype i = pos;
    if (i < n && (s[i] == '+' || s[i] == '-')) ascii += char(s[i++].unicode());
    qsizetype digits = 0;
    while (i < n && isDigit(s[i])) {
        ascii += char(s[i++].unicode());
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ascii += '.';
        ++i;
        while (i < n && isDigit(s[i])) {
            ascii += char(s[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0) return Scan::None;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < n && (s[j] == '+' || s[j] == '-')) exp += char(s[j++].unicode());
        const qsizetype expStart = j;
        while (j < n && isDigit(s[j]))
            exp += char(s[j++].unicode());
        if (j > expStart) {
            ascii += exp;
            i = j;
        }
    }
    *end = i;
    const char* first = ascii.data();
    if (*first == '+') ++first;
    double v = 0;
    const auto r = std::from_chars(first, ascii.data() + ascii.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large cannot be held.
        if (decimalMagnitude(ascii) > 0) return Scan::TooBig;
        v = 0;
    } else if (r.ec != std::errc()) {
        return Scan::None;
    }
    *value = v;
    return Scan::Number;
}

qsizetype skipBlanks(const QString& s, qsizetype i) {
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

} // namespace

bool leadingNumber(const QString& text, double* value) {
    qsizetype end;
    return scanNumber(text, skipBlanks(text, 0), value, &end) != Scan::TooBig;
}

bool wholeNumber(const QString& text, double* value) {
    qsizetype end;
    if (scanNumber(text, skipBlanks(text, 0), value, &end) != Scan::Number) return false;
    return skipBlanks(text, end) == text.size();
}

bool toInteger(double value, qint16* out) {
    const double r = std::nearbyint(value);
    if (!(r >= -32768.0 && r <= 32767.0)) return false;
    *out = qint16(r);
    return true;
}

bool toLong(double value, qint32* out) {
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
    *out = qint32(r);
    return true;
}

bool toSingle(double value, float* out) {
    if (!(std::fabs(value) <= double(std::numeric_limits<float>::max()))) return false;
    *out = float(value);
    return true;
}

QString formatSingle(float value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}

QString formatPercent(float value) {
    const double percent = double(value) * 100.0;
    for (int digits = 1; digits < 17; ++digits) {
        // The percentage cut to `digits` significant digits, in its shortest text.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, percent, std::chars_format::scientific,
                                     digits - 1);
        double rounded = 0;
        std::from_chars(buf, r.ptr, rounded);
        const QString text = formatNumber(rounded);
        double read = 0;
        float back = 0;
        if (leadingNumber(text, &read) && toSingle(read / 100.0, &back) && back == value)
            return text;
    }
    return formatNumber(percent);
}

QString formatNumber(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}

} // namespace klavoro
