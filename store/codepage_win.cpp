#include "store/codepage.h"

#include <windows.h>

namespace klavoro {
namespace {

UINT codePageNumber(CodePage page) {
    return page == CodePage::ShiftJis ? 932 : 20932;
}

// UTF-16 units of `length` bytes taken strictly; 0 when they are no characters.
int decodeStrict(UINT cp, const char* bytes, int length, wchar_t* out, int room) {
    return MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes, length, out, room);
}

} // namespace

CodePageConverter::CodePageConverter(CodePage page) : m_page(page) {}

CodePageConverter::~CodePageConverter() = default;

bool CodePageConverter::isValid() const {
    return IsValidCodePage(codePageNumber(m_page)) != 0;
}

char16_t CodePageConverter::decodeOne(const char* bytes, int length) {
    wchar_t out[4];
    if (decodeStrict(codePageNumber(m_page), bytes, length, out, 4) != 1) return 0;
    return static_cast<char16_t>(out[0]);
}

QByteArray CodePageConverter::encodeOne(char16_t c) {
    const wchar_t in = static_cast<wchar_t>(c);
    char out[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePageNumber(m_page), WC_NO_BEST_FIT_CHARS, &in, 1, out,
                                      sizeof out, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return {};
    return QByteArray(out, n);
}

QString CodePageConverter::decodeAll(const QByteArray& bytes, char16_t replacement, bool* exact) {
    const UINT cp = codePageNumber(m_page);
    *exact = true;
    QString out;
    if (bytes.isEmpty()) return out;
    const int whole = decodeStrict(cp, bytes.constData(), int(bytes.size()), nullptr, 0);
    if (whole > 0) {
        out.resize(whole);
        decodeStrict(cp, bytes.constData(), int(bytes.size()),
                     reinterpret_cast<wchar_t*>(out.data()), whole);
        return out;
    }
    // Character by character: the longest valid sequence of up to three bytes.
    for (qsizetype i = 0; i < bytes.size();) {
        wchar_t unit[4];
        int taken = 0, units = 0;
        for (int length = 1; length <= 3 && i + length <= bytes.size() && !units; ++length) {
            units = decodeStrict(cp, bytes.constData() + i, length, unit, 4);
            taken = length;
        }
        if (units > 0) {
            out.append(reinterpret_cast<const QChar*>(unit), units);
            i += taken;
        } else {
            *exact = false;
            out.append(QChar(replacement));
            ++i;
        }
    }
    return out;
}

} // namespace klavoro
