#include "platform/x11/xdgshell.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// Points the freedesktop look-up folders at an empty scratch tree for the test.
class ScratchXdg {
public:
    ScratchXdg() {
        for (const char* name : kNames) {
            m_saved.append({qEnvironmentVariableIsSet(name), qgetenv(name)});
            const QString folder = path(name);
            QDir().mkpath(folder);
            qputenv(name, folder.toLocal8Bit());
        }
        qputenv("XDG_CURRENT_DESKTOP", "");
        // The type database stays; the programs are only those of the scratch tree.
        QFile::link("/usr/share/mime", path("XDG_DATA_DIRS") + "/mime");
    }
    ~ScratchXdg() {
        for (int i = 0; i < 5; ++i) {
            if (m_saved[i].first)
                qputenv(kNames[i], m_saved[i].second);
            else
                qunsetenv(kNames[i]);
        }
    }
    QString path(const char* name) const { return dir.path() + '/' + QLatin1String(name); }
    QTemporaryDir dir;

private:
    static constexpr const char* kNames[5] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                              "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    QList<std::pair<bool, QByteArray>> m_saved;
};

} // namespace

TEST(XdgShell, KnowsWhetherADocumentHasAProgram) {
    ScratchXdg xdg;
    const QString document = xdg.dir.path() + "/a.docx";
    test::writeBytes(document, "PK");
    x11::XdgShell shell;
    EXPECT_FALSE(shell.hasProgramFor(document));

    QDir().mkpath(xdg.path("XDG_DATA_HOME") + "/applications");
    test::writeBytes(xdg.path("XDG_DATA_HOME") + "/applications/klavoro-writer.desktop",
                     "[Desktop Entry]\nType=Application\nName=Writer\nExec=true %f\n"
                     "MimeType=application/"
                     "vnd.openxmlformats-officedocument.wordprocessingml.document;\n");
    test::writeBytes(xdg.path("XDG_CONFIG_HOME") + "/mimeapps.list",
                     "[Default Applications]\napplication/"
                     "vnd.openxmlformats-officedocument.wordprocessingml.document="
                     "klavoro-writer.desktop\n");
    EXPECT_TRUE(shell.hasProgramFor(document));
}
