#include "store/startoptions.h"

#include <gtest/gtest.h>

using namespace klavoro;

TEST(StartOptions, FolderWithBlanksInQuotesThenAuto) {
    const StartOptions o = parseCommandLine(QStringLiteral("-savepath \"/home/a b/rec  1\" -auto"));
    EXPECT_EQ(o.savePath, QStringLiteral("/home/a b/rec  1"));
    EXPECT_TRUE(o.autoStart);
    EXPECT_FALSE(o.minimize);
}

TEST(StartOptions, WideBlanksCaseTabsAndRuns) {
    const StartOptions wide = parseCommandLine(QStringLiteral("　-MIN　-Tray -a"));
    EXPECT_TRUE(wide.minimize);
    EXPECT_TRUE(wide.tasktray);
    EXPECT_TRUE(wide.autoStart);
    const StartOptions tabs =
        parseCommandLine(QStringLiteral("  -hwnd\t \t 4711   -sound extra words"));
    EXPECT_EQ(tabs.hwnd, 4711u);
    EXPECT_TRUE(tabs.sound);
    // The text before the first option is not an option.
    const StartOptions before = parseCommandLine(QStringLiteral("debug -mouse"));
    EXPECT_FALSE(before.debug);
    EXPECT_TRUE(before.mouse);
    // A hyphen inside a word does not start an option.
    EXPECT_FALSE(parseCommandLine(QStringLiteral("-savepath /x/my-auto")).autoStart);
}

TEST(StartOptions, EveryOptionWord) {
    const StartOptions o = parseCommandLine(QStringLiteral(
        "-debug -new -autosave -minimize -tasktray -novisible -mouse -clipboard -sound -append"));
    EXPECT_TRUE(o.debug);
    EXPECT_EQ(o.newOrAppend, QStringLiteral("append")); // the later one
    EXPECT_TRUE(o.autoSave);
    EXPECT_TRUE(o.minimize);
    EXPECT_TRUE(o.tasktray);
    EXPECT_TRUE(o.noVisible);
    EXPECT_TRUE(o.mouse);
    EXPECT_TRUE(o.clipboard);
    EXPECT_TRUE(o.sound);
    EXPECT_FALSE(o.autoStart);
}

TEST(StartOptions, WordsThatChangeNothing) {
    const StartOptions none;
    const StartOptions o =
        parseCommandLine(QStringLiteral("-nolisting -loadfiles -bogus - -- -auto2 -hwnd 0"));
    EXPECT_FALSE(o.autoStart);
    EXPECT_EQ(o.hwnd, 0u);
    EXPECT_TRUE(o.savePath.isEmpty());
    EXPECT_EQ(o.newOrAppend, none.newOrAppend);
    EXPECT_EQ(parseCommandLine(QString()).hwnd, 0u);
    EXPECT_EQ(parseCommandLine(QStringLiteral("-hwnd -5")).hwnd, 0u);
    EXPECT_EQ(parseCommandLine(QStringLiteral("-hwnd")).hwnd, 0u);
    EXPECT_EQ(parseCommandLine(QStringLiteral("-hwnd 12abc")).hwnd, 12u);
    EXPECT_EQ(parseCommandLine(QStringLiteral("-hwnd 99999999999999999999999")).hwnd, 0u);
}

TEST(StartOptions, ArgumentsJoinIntoACommandLineThatParsesBack) {
    const QString line = commandLineFromArguments(
        {QStringLiteral("-savepath"), QStringLiteral("/tmp/a b"), QStringLiteral("-auto")});
    EXPECT_EQ(line, QStringLiteral("-savepath \"/tmp/a b\" -auto"));
    const StartOptions o = parseCommandLine(line);
    EXPECT_EQ(o.savePath, QStringLiteral("/tmp/a b"));
    EXPECT_TRUE(o.autoStart);
}

// Found by the command-line fuzz target: a folder whose name holds a blank
// and a hyphen was cut there, and the rest taken for options.
TEST(StartOptions, QuotedFolderKeepsItsBlankHyphen) {
    for (const QString& folder :
         {QStringLiteral("/home/me/a -b"), QStringLiteral("資料 -MIN -hwnd 12345 -new"),
          QStringLiteral("x\t-tray")}) {
        const QString line = commandLineFromArguments(
            {QStringLiteral("-savepath"), folder, QStringLiteral("-auto")});
        const StartOptions o = parseCommandLine(line);
        EXPECT_EQ(o.savePath, folder) << line.toStdString();
        EXPECT_TRUE(o.autoStart);
        EXPECT_FALSE(o.minimize);
        EXPECT_FALSE(o.tasktray);
        EXPECT_EQ(o.hwnd, 0u);
    }
    // A full-width blank inside an argument still starts an option.
    const StartOptions wide = parseCommandLine(commandLineFromArguments(
        {QStringLiteral("　-savepath"), QStringLiteral("/tmp/rec　-MIN")}));
    EXPECT_EQ(wide.savePath, QStringLiteral("/tmp/rec"));
    EXPECT_TRUE(wide.minimize);
    // Outside quotes a full-width blank before the hyphen still starts an option,
    // and a quote that never closes is an ordinary character.
    EXPECT_TRUE(parseCommandLine(QStringLiteral("-savepath \"a　-MIN")).minimize);
    EXPECT_EQ(parseCommandLine(QStringLiteral("-savepath \"a -auto")).savePath,
              QStringLiteral("\"a"));
}
