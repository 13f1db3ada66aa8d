// libFuzzer target: Conf.txt bytes through the character-set probe and the
// reader, then the writer, then the reader again. The saved file must read as
// the program's own (Shift-JIS, this executable, no bad line), give the same
// settings whenever the first reading was faithful, and save to the same bytes.
// Built and run by scripts/fuzz conf.
#include "fuzzcheck.h"
#include "store/confreading.h"
#include "store/sjis.h"
#include "store/windowplacement.h"

#include <cstddef>
#include <cstdint>

using namespace klavoro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString exe = QStringLiteral("klavoro");
    const WindowRect defaults = defaultWindowRect(QSize(1920, 1080));
    const ConfChoice first = chooseConfReading(bytes, exe, defaults);
    const QByteArray saved =
        toShiftJis(confFileText(first.parsed.settings, first.parsed.window, exe));

    const ConfChoice again = chooseConfReading(saved, exe, defaults);
    FUZZ_CHECK(again.reading.label == QLatin1String("shift-jis"));
    FUZZ_CHECK(again.exeNameMatched);
    FUZZ_CHECK(again.faithful);
    FUZZ_CHECK(again.parsed.errors.isEmpty());
    if (first.faithful) {
        FUZZ_CHECK(again.parsed.settings == first.parsed.settings);
        FUZZ_CHECK(again.parsed.window == first.parsed.window);
    }
    FUZZ_CHECK(toShiftJis(confFileText(again.parsed.settings, again.parsed.window, exe)) == saved);
    return 0;
}
