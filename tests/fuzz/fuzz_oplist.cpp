// libFuzzer target: OpList.txt bytes read as the loader reads them, written as
// the writer writes the list, and read again. What was saved must load as the
// same list, and saving that list again must give the same bytes.
// Built and run by scripts/fuzz oplist.
#include "fuzzcheck.h"
#include "store/oplisttext.h"
#include "store/sjis.h"

#include <cstddef>
#include <cstdint>

using namespace klavoro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const OpListRead first = parseOpListText(fromShiftJis(bytes));
    if (first.badNumber || first.lines.isEmpty()) return 0; // a failed load saves nothing
    FUZZ_CHECK(first.current >= 0);
    // What the window's step number box holds after the load: empty for none.
    const QString shown = first.current > 0 ? QString::number(first.current) : QString();
    const QByteArray saved = toShiftJis(opListFileText(first.lines, shown));
    FUZZ_CHECK(saved.count('\x03') == 1);

    const OpListRead again = parseOpListText(fromShiftJis(saved));
    FUZZ_CHECK(!again.badNumber);
    FUZZ_CHECK(again.current == first.current);
    FUZZ_CHECK(again.ignoredLines == 0);
    FUZZ_CHECK(again.markedLines == 0);
    FUZZ_CHECK(again.lines == first.lines);
    FUZZ_CHECK(toShiftJis(opListFileText(again.lines, shown)) == saved);
    return 0;
}
