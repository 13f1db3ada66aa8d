// The smaller corpus: the shipped program records instant clicks in real
// applications from Debian (GTK 3, GTK 4, Qt 5, Chromium); the sentences are
// those a manual writer expects and every picture shows the screen as it was
// at the press. The whole corpus, with figures, is bench/corpus.cpp.
#include "tests/corpus/corpusrun.h"

#include <gtest/gtest.h>

using namespace klavoro::corpus;

TEST(Corpus, InstantClicksInRealApplicationsAreRecordedAsAtThePress) {
    const QList<App> apps = corpusApps(true);
    const QStringList missing = Runner::missingPrograms(apps);
    if (!missing.isEmpty()) {
        // CI installs them (scripts/install-deps); elsewhere they may be absent.
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "not installed: " << missing.join(u' ').toStdString();
        GTEST_SKIP() << "not installed: " << missing.join(u' ').toStdString();
    }
    Options options;
    options.program = QStringLiteral(KLAVORO_BINARY);
    options.instant = true;
    Runner runner(options);
    ASSERT_TRUE(runner.run(apps)) << runner.error().toStdString();
    EXPECT_TRUE(runner.error().isEmpty()) << runner.error().toStdString();

    const Summary s = runner.summary();
    QStringList wrong;
    for (const Outcome& o : runner.outcomes())
        if (o.lost || o.got != o.expected)
            wrong << o.app + QStringLiteral(": want ") + o.expected + QStringLiteral(", got ") +
                         o.got;
    EXPECT_EQ(s.lost, 0) << wrong.join(u'\n').toStdString();
    EXPECT_EQ(s.dragsRecorded, s.drags);
    // A busy machine may leave an element unread in time now and then; a
    // wrong rule would miss many.
    EXPECT_GE(s.right * 10, s.acts * 9) << wrong.join(u'\n').toStdString();
    EXPECT_GT(s.measurable, 0);
    QStringList after;
    for (const Outcome& o : runner.outcomes())
        if (o.measurable && !o.atPress) after << o.app + QStringLiteral(": ") + o.expected;
    EXPECT_EQ(s.atPress, s.measurable)
        << "pictures taken after the application reacted:\n" << after.join(u'\n').toStdString();
}

// A drag across a GTK 3 notebook's tab and a click on a tab's padding: each
// end is the tab under the pointer, never the nameless tab strip.
TEST(Corpus, TabsOfAGtk3NotebookAreNamedWhereverTheyAreClicked) {
    const App app = notebookTabsGtk3();
    if (!Runner::missingPrograms({app}).isEmpty()) {
        if (qEnvironmentVariableIsSet("CI")) FAIL() << "mousepad is not installed";
        GTEST_SKIP() << "mousepad is not installed";
    }
    Options options;
    options.program = QStringLiteral(KLAVORO_BINARY);
    Runner runner(options);
    ASSERT_TRUE(runner.run({app})) << runner.error().toStdString();
    ASSERT_FALSE(runner.outcomes().isEmpty());
    for (const Outcome& o : runner.outcomes()) {
        EXPECT_FALSE(o.lost) << o.expected.toStdString();
        EXPECT_EQ(o.got.toStdString(), o.expected.toStdString());
    }
    const Summary s = runner.summary();
    EXPECT_EQ(s.dragsRecorded, 2);
}
