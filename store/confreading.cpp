#include "store/confreading.h"

#include "store/codepage.h"
#include "store/sjis.h"

#include <QStringDecoder>


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
    CodePageConverter euc(CodePage::EucJp);
    if (!euc.isValid()) {
        r.exact = false;
        return r;
    }
    r.text = euc.decodeAll(bytes, u'\u30FB', &r.exact);
    return r;
}

bool hasHighBytes(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = d.decode(bytes); // decoding happens on conversion
    return !d.hasError();
}

// Kana, Japanese punctuation and full-width forms, counted on the bytes:
// every Japanese text has some. In Shift-JIS they are the rows led by 0x81 to
// 0x83, in EUC-JP the rows A1 and A3 to A5. EUC-JP read as Shift-JIS gives
// half-width kana and stray kanji instead, and half-width kana read as EUC-JP
// give kanji only.
int shiftJisKana(const QByteArray& bytes) {
    int n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const unsigned char b = p[i];
        if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))) continue;
        if (b <= 0x83 && p[i + 1] >= 0x40 && p[i + 1] != 0x7F) ++n;
        ++i;
    }
    return n;
}

// The same for EUC-JP; -1 when the bytes do not follow its layout at all.
int eucJpKana(const QByteArray& bytes) {
    int n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    auto high = [&](qsizetype i) { return i < size && p[i] >= 0xA1 && p[i] <= 0xFE; };
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) continue;
        if (b == 0x8E && i + 1 < size && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
            ++i; // half-width kana
        } else if (b == 0x8F && high(i + 1) && high(i + 2)) {
            i += 2; // JIS X 0212
        } else if (high(i) && high(i + 1)) {
            if (b == 0xA1 || (b >= 0xA3 && b <= 0xA5)) ++n;
            ++i;
        } else {
            return -1;
        }
    }
    return n;
}

ConfReading decodeLabel(const QString& label, const QByteArray& bytes) {
    if (label == kShiftJis) return shiftJisReading(bytes);
    if (label == kUtf8) return decodeWith(QStringDecoder::Utf8, kUtf8, bytes);
    if (label == kUtf16Le) return decodeWith(QStringDecoder::Utf16LE, kUtf16Le, bytes);
    if (label == kUtf16Be) return decodeWith(QStringDecoder::Utf16BE, kUtf16Be, bytes);
    return eucJpReading(bytes);
}

// The labels to try, in order. The order is told from the bytes alone; a
// reading is decoded only when its turn comes.
QStringList readingLabels(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return {kUtf8};
    if (bytes.startsWith("\xFF\xFE")) return {kUtf16Le};
    if (bytes.startsWith("\xFE\xFF")) return {kUtf16Be};
    if (hasHighBytes(bytes)) {
        if (isValidUtf8(bytes)) return {kUtf8, kShiftJis, kUtf16Le, kUtf16Be};
        const int eucKana = eucJpKana(bytes);
        if (eucKana > 0 && shiftJisKana(bytes) < eucKana)
            return {kEucJp, kShiftJis, kUtf8, kUtf16Le, kUtf16Be};
    }
    return {kShiftJis, kUtf8, kUtf16Le, kUtf16Be};
}

} // namespace

QList<ConfReading> confReadings(const QByteArray& bytes) {
    QList<ConfReading> readings;
    for (const QString& label : readingLabels(bytes))
        readings << decodeLabel(label, bytes);
    return readings;
}

ConfChoice chooseConfReading(const QByteArray& bytes, const QString& exeName,
                             const WindowRect& windowDefaults) {
    std::optional<ConfChoice> best;
    for (const QString& label : readingLabels(bytes)) {
        ConfReading reading = decodeLabel(label, bytes);
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
