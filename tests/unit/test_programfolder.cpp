#include "store/commandlinehelp.h"
#include "store/programfolder.h"
#include "store/startoptions.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

FolderInputs portable() {
    FolderInputs in;
    in.exeFolder = QStringLiteral("/opt/tools/klavoro");
    in.exeFolderWritable = true;
    in.xdgConfigHome = QStringLiteral("/x/config");
    in.xdgDataHome = QStringLiteral("/x/data");
    in.userHome = QStringLiteral("/home/u");
    return in;
}

FolderInputs installed() {
    FolderInputs in = portable();
    in.exeFolder = QStringLiteral("/usr/bin");
    in.exeFolderWritable = false;
    in.installedShared = QStringLiteral("/usr/share/klavoro");
    return in;
}

} // namespace

TEST(FolderLayout, PortableCopyAndKlavoroHomeKeepEverythingInOneFolder) {
    const FolderLayout p = folderLayout(portable());
    EXPECT_FALSE(p.installed);
    EXPECT_EQ(p.program, QStringLiteral("/opt/tools/klavoro/"));
    EXPECT_EQ(p.captureBase, p.program);
    EXPECT_EQ(p.shipped, p.program);

    // KLAVORO_HOME wins over an installed layout too.
    FolderInputs in = installed();
    in.klavoroHome = QStringLiteral("/tmp/k/");
    const FolderLayout h = folderLayout(in);
    EXPECT_FALSE(h.installed);
    EXPECT_EQ(h.program, QStringLiteral("/tmp/k/"));
    EXPECT_EQ(h.captureBase, h.program);
    EXPECT_EQ(h.shipped, h.program);
    // What KLAVORO_HOME lacks is taken from the installation's own copy.
    EXPECT_EQ(shippedFileFolders(in),
              (QStringList{QStringLiteral("/tmp/k/"), QStringLiteral("/usr/share/klavoro/")}));
    EXPECT_EQ(shippedFileFolders(portable()), QStringList{QStringLiteral("/opt/tools/klavoro/")});
}

TEST(FolderLayout, InstalledCopyFollowsXdgAndReadsThePrefix) {
    const FolderLayout l = folderLayout(installed());
    EXPECT_TRUE(l.installed);
    EXPECT_EQ(l.program, QStringLiteral("/x/config/klavoro/"));
    EXPECT_EQ(l.captureBase, QStringLiteral("/x/data/klavoro/"));
    EXPECT_EQ(l.shipped, QStringLiteral("/usr/share/klavoro/"));

    // Root may write to /usr/bin: the layout, not the permission, decides.
    FolderInputs asRoot = installed();
    asRoot.exeFolderWritable = true;
    EXPECT_EQ(folderLayout(asRoot).program, QStringLiteral("/x/config/klavoro/"));

    // A copy nobody may write to still reads its files beside the executable.
    FolderInputs readOnly = portable();
    readOnly.exeFolderWritable = false;
    const FolderLayout r = folderLayout(readOnly);
    EXPECT_TRUE(r.installed);
    EXPECT_EQ(r.program, QStringLiteral("/x/config/klavoro/"));
    EXPECT_EQ(r.shipped, QStringLiteral("/opt/tools/klavoro/"));
}

TEST(FolderLayout, UnsetEmptyOrRelativeXdgVariablesMeanTheDefaults) {
    for (const QString& bad : {QString(), QStringLiteral(""), QStringLiteral("rel/dir")}) {
        FolderInputs in = installed();
        in.xdgConfigHome = bad;
        in.xdgDataHome = bad;
        const FolderLayout l = folderLayout(in);
        EXPECT_EQ(l.program, QStringLiteral("/home/u/.config/klavoro/")) << qPrintable(bad);
        EXPECT_EQ(l.captureBase, QStringLiteral("/home/u/.local/share/klavoro/"));
    }
    FolderInputs slash = installed();
    slash.xdgConfigHome = QStringLiteral("/x/config/");
    EXPECT_EQ(folderLayout(slash).program, QStringLiteral("/x/config/klavoro/"));
}

TEST(CommandLineInfo, HelpAndVersionWordsInAnyCaseFirstOneWins) {
    EXPECT_EQ(infoRequest({}), InfoRequest::None);
    EXPECT_EQ(
        infoRequest({QStringLiteral("-auto"), QStringLiteral("-savepath"), QStringLiteral("/h")}),
        InfoRequest::None);
    EXPECT_EQ(infoRequest({QStringLiteral("-helpme")}), InfoRequest::None);
    EXPECT_EQ(infoRequest({QStringLiteral("-auto"), QStringLiteral("--HELP")}), InfoRequest::Help);
    EXPECT_EQ(infoRequest({QStringLiteral("-h")}), InfoRequest::Help);
    EXPECT_EQ(infoRequest({QStringLiteral("-Version"), QStringLiteral("-help")}),
              InfoRequest::Version);
    EXPECT_EQ(infoRequest({QStringLiteral("--version")}), InfoRequest::Version);
}

TEST(CommandLineInfo, HelpNamesEveryOptionTheParserTakes) {
    const QString help = commandLineHelp(QStringLiteral("klavoro"));
    const StartOptions none = parseCommandLine(QString());
    const char* const words[] = {
        "debug", "auto",     "a",    "new",       "append", "savepath",  "autosave", "minimize",
        "min",   "tasktray", "tray", "novisible", "mouse",  "clipboard", "sound",    "hwnd"};
    for (const char* w : words) {
        const QString word = QString::fromLatin1(w);
        const QRegularExpression named(QStringLiteral("(^|[ ,])-") + word +
                                           QStringLiteral("($|[ ,])"),
                                       QRegularExpression::MultilineOption);
        EXPECT_TRUE(named.match(help).hasMatch()) << w;
        // The word really is an option: it changes what is parsed.
        const StartOptions o = parseCommandLine(QStringLiteral(" -") + word + QStringLiteral(" 5"));
        EXPECT_TRUE(o.debug != none.debug || o.autoStart != none.autoStart ||
                    o.newOrAppend != none.newOrAppend || o.savePath != none.savePath ||
                    o.autoSave != none.autoSave || o.minimize != none.minimize ||
                    o.tasktray != none.tasktray || o.noVisible != none.noVisible ||
                    o.mouse != none.mouse || o.clipboard != none.clipboard ||
                    o.sound != none.sound || o.hwnd != none.hwnd)
            << w;
    }
    EXPECT_TRUE(help.contains(QStringLiteral("使い方")));
    EXPECT_TRUE(help.contains(QStringLiteral("Usage: klavoro")));
}
