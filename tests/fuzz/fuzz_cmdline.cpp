// libFuzzer target: the command-line parser on any text, and a save folder
// passed as its own argument the way main passes the program's arguments:
// joined into one command line and parsed, the folder must come back whole.
// Built and run by scripts/fuzz cmdline.
#include "fuzzcheck.h"
#include "store/pathops.h"
#include "store/startoptions.h"

#include <cstddef>
#include <cstdint>

using namespace klavoro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)parseCommandLine(text);

    // The same text as a folder after -savepath. A folder that starts with a
    // hyphen or holds a double quote is an option or a quoting of its own.
    QString folder = text;
    folder.remove(QChar(0)); // an argument never holds NUL
    const QString expected = unquote(folder);
    // A full-width blank starts an option wherever it stands.
    if (expected.isEmpty() || expected.startsWith(u'-') || folder.contains(u'"') ||
        folder.contains(QChar(0x3000)))
        return 0;
    const QString commandLine = commandLineFromArguments(
        {QStringLiteral("-savepath"), folder, QStringLiteral("-auto"), QStringLiteral("-MIN")});
    const StartOptions o = parseCommandLine(commandLine);
    FUZZ_CHECK(o.savePath == expected);
    FUZZ_CHECK(o.autoStart);
    FUZZ_CHECK(o.minimize);
    return 0;
}
