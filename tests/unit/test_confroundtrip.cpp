// What the Conf.txt writer writes reads back as the same settings. The cases
// below were found by the Conf.txt fuzz target.
#include "store/confreading.h"
#include "store/conftext.h"
#include "store/confvalue.h"
#include "store/sjis.h"
#include "store/windowplacement.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace klavoro;

namespace {

const WindowRect kDefaults = defaultWindowRect(QSize(1920, 1080));

// Written and read again, as a save at shut-down and the next start do.
Settings readBack(const Settings& s) {
    const QByteArray saved = toShiftJis(confFileText(s, kDefaults, QStringLiteral("klavoro")));
    const ConfChoice c = chooseConfReading(saved, QStringLiteral("klavoro"), kDefaults);
    EXPECT_TRUE(c.exeNameMatched);
    EXPECT_TRUE(c.parsed.errors.isEmpty()) << qPrintable(c.parsed.errors.join('\n'));
    return c.parsed.settings;
}

} // namespace

// A Single times 100 is not always exact: 1888888832 was written as the
// percentage of its own product and read back as 1888888704.
TEST(ConfRoundTrip, PercentageReadsBackAsTheSameSingle) {
    for (const float mag : {1.0f, 1.25f, 1.333f, 0.0123f, 1888888832.0f, 3.0e38f, 1.0e-30f, -2.5f,
                            std::nextafter(1.25f, 2.0f)}) {
        Settings s;
        s.textMag = mag;
        EXPECT_EQ(readBack(s).textMag, mag) << formatPercent(mag).toStdString();
    }
    EXPECT_EQ(formatPercent(1.25f), QStringLiteral("125"));
    EXPECT_EQ(formatPercent(1.0f), QStringLiteral("100"));
}
