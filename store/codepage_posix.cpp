#include "store/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace klavoro {
namespace {

const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

const char* iconvName(CodePage page) {
    return page == CodePage::ShiftJis ? "CP932" : "EUC-JP";
}

iconv_t handle(void* p) {
    return p ? static_cast<iconv_t>(p) : kNone;
}

} // namespace

CodePageConverter::CodePageConverter(CodePage page) : m_page(page) {
    iconv_t d = iconv_open("UTF-16LE", iconvName(page));
    iconv_t e = iconv_open(iconvName(page), "UTF-16LE");
    m_decoder = d == kNone ? nullptr : d;
    m_encoder = e == kNone ? nullptr : e;
}

CodePageConverter::~CodePageConverter() {
    if (m_decoder) iconv_close(handle(m_decoder));
    if (m_encoder) iconv_close(handle(m_encoder));
}

bool CodePageConverter::isValid() const {
    return m_decoder && m_encoder;
}

char16_t CodePageConverter::decodeOne(const char* bytes, int length) {
    if (!m_decoder) return 0;
    iconv_t cd = handle(m_decoder);
    char out[8];
    char* ip = const_cast<char*>(bytes);
    char* op = out;
    size_t il = static_cast<size_t>(length), ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || op - out != 2)
        return 0;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
}

QByteArray CodePageConverter::encodeOne(char16_t c) {
    if (!m_encoder) return {};
    iconv_t cd = handle(m_encoder);
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    char out[4];
    char* ip = in;
    char* op = out;
    size_t il = 2, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) return {};
    return QByteArray(out, op - out);
}

QString CodePageConverter::decodeAll(const QByteArray& bytes, char16_t replacement, bool* exact) {
    *exact = m_decoder != nullptr;
    if (!m_decoder) return {};
    iconv_t cd = handle(m_decoder);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4 + 4, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* o = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG || outLeft < 2) break;
        *exact = false;
        *o++ = static_cast<char>(replacement & 0xFF); // little-endian
        *o++ = static_cast<char>(replacement >> 8);
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    out.truncate(o - out.data());
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(out.constData()), out.size() / 2);
}

} // namespace klavoro
