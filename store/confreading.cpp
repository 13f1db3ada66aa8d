#include "store/confreading.h"

#include "store/sjis.h"

#include <QStringDecoder>

#include <iconv.h>

#include <optional>

namespace klavoro {

namespace {

const QString kShiftJis = QStringLiteral("shift-jis");
const QString kUtf8 = QStringLiteral("utf-8");
const QString kUtf16Le = QStringLiteral("unicode");
const QString kUtf16Be = QStringLiteral("utf-16be");
const QString kEucJp = QStringLiteral("euc-jp");

ConfReading decodeWith(QStringDecoder::Encoding encoding, const QString& label,
                       const QByteArray& bytes) {
    QStringDecoder d(encoding, QStringDecoder::Flag::Stateless);
    ConfReading r{label, d.decode(bytes), false};
    const bool wide = encoding == QStringDecoder::Utf16LE || encoding == QStringDecoder::Utf16BE;
    r.exact = !d.hasError() && !(wide && bytes.size() % 2 != 0);
    return r;
}

ConfReading shiftJisReading(const QByteArray& bytes) {
    ConfReading r{kShiftJis, QString(), false};
    r.text = fromShiftJis(bytes, &r.exact);
    return r;
}

// EUC-JP through the system's converter; a byte it cannot take becomes '・'.
ConfReading eucJpReading(const QByteArray& bytes) {
    ConfReading r{kEucJp, QString(), true};
    iconv_t cd = iconv_open("UTF-16LE", "EUC-JP");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        r.exact = false;
        return r;
    }
    QByteArray out(bytes.size() * 4 + 4, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* o = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG || outLeft < 2) break;
        r.exact = false;
        *o++ = char(0xFB); // '・' (U+30FB), little-endian
        *o++ = char(0x30);
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.truncate(o - out.data());
    r.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(out.constData()), out.size() / 2);
    return r;
}

bool hasHighBytes(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Kana, Japanese punctuation and full-width forms: every Japanese text has
// some. Misread EUC-JP gives half-width kana and stray kanji instead, and
// half-width kana read as EUC-JP give kanji only.
int kanaAndPunctuation(const QString& text) {
    int n = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0xFF01 && u <= 0xFF5E)) ++n;
    }
    return n;
}

} // namespace

QList<ConfReading> confReadings(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return {decodeWith(QStringDecoder::Utf8, kUtf8, bytes)};
    if (bytes.startsWith("\xFF\xFE")) return {decodeWith(QStringDecoder::Utf16LE, kUtf16Le, bytes)};
    if (bytes.startsWith("\xFE\xFF")) return {decodeWith(QStringDecoder::Utf16BE, kUtf16Be, bytes)};

    QList<ConfReading> readings = {shiftJisReading(bytes),
                                   decodeWith(QStringDecoder::Utf8, kUtf8, bytes),
                                   decodeWith(QStringDecoder::Utf16LE, kUtf16Le, bytes),
                                   decodeWith(QStringDecoder::Utf16BE, kUtf16Be, bytes)};
    if (!hasHighBytes(bytes)) return readings;
    if (readings[1].exact) {
        readings.move(1, 0);
        return readings;
    }
    const ConfReading euc = eucJpReading(bytes);
    const int eucKana = kanaAndPunctuation(euc.text);
    if (euc.exact && eucKana > 0 && kanaAndPunctuation(readings[0].text) < eucKana)
        readings.prepend(euc);
    return readings;
}

ConfChoice chooseConfReading(const QByteArray& bytes, const QString& exeName,
                             const WindowRect& windowDefaults) {
    std::optional<ConfChoice> best;
    for (ConfReading& reading : confReadings(bytes)) {
        ConfText parsed = parseConfText(reading.text, windowDefaults);
        const bool matched = parsed.hasExeName && parsed.exeName == exeName;
        if (matched || !best || parsed.recognisedKeys > best->parsed.recognisedKeys) {
            best = ConfChoice{std::move(reading), std::move(parsed), matched, true, QString()};
            if (matched) break;
        }
    }
    ConfChoice c = std::move(*best);
    if (!c.reading.exact)
        c.why = QStringLiteral("どの文字コードでも読めないバイトがあります");
    else if (c.reading.label == kEucJp)
        c.why = QStringLiteral("EUC-JP として読みました");
    else if (!fitsShiftJis(c.reading.text))
        c.why = QStringLiteral("Shift-JIS で書けない文字があります");
    else if (c.parsed.recognisedKeys == 0 && !c.reading.text.trimmed().isEmpty())
        c.why = QStringLiteral("読める設定がありません");
    c.faithful = c.why.isEmpty();
    return c;
}

} // namespace klavoro
