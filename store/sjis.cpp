#include "store/sjis.h"

#include "store/codepage.h"

#include <QStringDecoder>

#include <array>
#include <memory>
#include <mutex>

namespace klavoro {
namespace {

// Both directions are table driven: a list of 15000 steps is converted in a few
// milliseconds, and the tables are built once from the system's converter.
struct Tables {
    // Unicode BMP code point -> Shift-JIS code (1 or 2 bytes), 0 = not representable.
    std::array<uint16_t, 0x10000> encode{};
    // Shift-JIS double-byte code -> Unicode, 0 = undefined.
    std::array<char16_t, 0x10000> decodeDouble{};
    std::array<char16_t, 0x100> decodeSingle{};
    std::array<bool, 0x100> leadByte{};
};

const Tables& tables() {
    static std::unique_ptr<Tables> t;
    static std::once_flag once;
    std::call_once(once, [] {
        t = std::make_unique<Tables>();
        CodePageConverter cp932(CodePage::ShiftJis);
        if (!cp932.isValid()) qFatal("code page 932 (Shift-JIS) is not available");
        for (int b = 0; b < 0x100; ++b) {
            const char c = static_cast<char>(b);
            t->decodeSingle[b] = cp932.decodeOne(&c, 1);
            t->leadByte[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!t->leadByte[lead]) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                t->decodeDouble[(lead << 8) | trail] = cp932.decodeOne(in, 2);
            }
        }
        // The system encoder knows which code to prefer where the code page maps a
        // character twice (NEC and IBM extension rows), so ask it for each one.
        for (int u = 1; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF) continue;
            const QByteArray out = cp932.encodeOne(static_cast<char16_t>(u));
            const auto* o = reinterpret_cast<const unsigned char*>(out.constData());
            if (out.size() == 1)
                t->encode[u] = o[0];
            else if (out.size() == 2)
                t->encode[u] = static_cast<uint16_t>((o[0] << 8) | o[1]);
        }
    });
    return *t;
}

} // namespace

namespace {
template <typename Fallback> QByteArray encodeShiftJis(const QString& text, Fallback fallback) {
    const Tables& t = tables();
    const qsizetype n = text.size();
    // Written through a pointer: two bytes at most per character, except for
    // what the fallback gives, which is appended the slow way.
    QByteArray out(n * 2, Qt::Uninitialized);
    char* dst = out.data();
    qsizetype w = 0;
    auto appendSlow = [&](const QByteArray& bytes, qsizetype rest) {
        out.truncate(w);
        out.append(bytes);
        w = out.size();
        out.resize(w + rest * 2);
        dst = out.data();
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            appendSlow(fallback(QChar::surrogateToUcs4(u, text.at(i + 1).unicode())), n - i - 2);
            ++i;
            continue;
        }
        const uint16_t code = t.encode[u];
        if (code == 0 && u != 0) {
            appendSlow(fallback(u), n - i - 1);
        } else if (code > 0xFF) {
            dst[w++] = static_cast<char>(code >> 8);
            dst[w++] = static_cast<char>(code & 0xFF);
        } else {
            dst[w++] = static_cast<char>(code);
        }
    }
    out.truncate(w);
    return out;
}
} // namespace

QByteArray toShiftJis(const QString& text) {
    return encodeShiftJis(text, [](char32_t) { return QByteArray(1, '?'); });
}

QByteArray toShiftJis(const QString& text, QByteArray (*fallback)(char32_t)) {
    return encodeShiftJis(text, fallback);
}

QString fromShiftJis(const QByteArray& bytes, bool* exact) {
    const Tables& t = tables();
    if (exact) *exact = true;
    QString out;
    out.resize(bytes.size());
    QChar* dst = out.data();
    qsizetype w = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            dst[w++] = QChar(b);
            continue;
        }
        if (t.leadByte[b] && i + 1 < n) {
            const char16_t u = t.decodeDouble[(b << 8) | p[i + 1]];
            if (u) {
                dst[w++] = QChar(u);
                ++i;
                continue;
            }
        }
        const char16_t u = t.decodeSingle[b];
        if (!u && exact) *exact = false;
        dst[w++] = u ? QChar(u) : QChar(0x30FB); // '・' for bytes that mean nothing
    }
    out.truncate(w);
    return out;
}

bool fitsShiftJis(const QString& text) {
    const Tables& t = tables();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) continue;
        // Some characters share a code with another one (the wave dash reads
        // back as the full-width tilde): they do not come back either.
        const uint16_t code = t.encode[u];
        const char16_t back = code > 0xFF ? t.decodeDouble[code] : t.decodeSingle[code];
        if (code == 0 || back != u) return false;
    }
    return true;
}

int halfWidthLength(const QString& text) {
    const Tables& t = tables();
    int len = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            ++len;
        } else if (QChar::isHighSurrogate(u) && i + 1 < n &&
                   QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++len; // becomes '?'
            ++i;
        } else {
            len += t.encode[u] > 0xFF ? 2 : 1;
        }
    }
    return len;
}

QString padToHalfWidth(const QString& text, int width) {
    const int len = halfWidthLength(text);
    if (len >= width) return text;
    return text + QString(width - len, QLatin1Char(' '));
}

bool charsetFromLabel(const QString& label, Charset* out) {
    const QString l = label.toLower();
    if (l == QLatin1String("shift-jis"))
        *out = Charset::ShiftJis;
    else if (l == QLatin1String("utf-8"))
        *out = Charset::Utf8;
    else if (l == QLatin1String("unicode"))
        *out = Charset::Unicode;
    else
        return false;
    return true;
}

QString decodeText(const QByteArray& bytes, Charset charset) {
    switch (charset) {
    case Charset::ShiftJis:
        return fromShiftJis(bytes);
    case Charset::Utf8: {
        QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return d.decode(bytes); // a byte-order mark is dropped, as the stream object does
    }
    case Charset::Unicode: {
        QStringDecoder d(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        return d.decode(bytes);
    }
    }
    return {};
}

} // namespace klavoro
